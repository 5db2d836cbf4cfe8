#include "songs/onset_envelope.h"

#include <algorithm>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "songs/aubio_library.h"
#include "songs/song_decoder.h"

namespace fenwhit {

namespace {

// aubio's FFT plans are made through a planner that is not safe from two threads at once.
std::mutex aubioSetUp;

template <typename T>
struct Deleter {
  void (*destroy)(T*);
  void operator()(T* object) const {
    std::lock_guard lock(aubioSetUp);
    destroy(object);
  }
};
template <typename T>
using Owned = std::unique_ptr<T, Deleter<T>>;

// About 11 ms a hop at any rate, a power of two as the FFT likes.
unsigned HopFor(int rate) {
  unsigned hop = 64;
  while (hop * 2 <= static_cast<unsigned>(rate) / 80) hop *= 2;
  return hop;
}

}  // namespace

std::optional<OnsetEnvelope> ListenForOnsets(SongDecoder& song,
                                             const std::function<void(double)>& progress,
                                             const std::atomic<bool>& cancel) {
  std::string why;
  const AubioLibrary* aubio = LoadAubio(why);
  if (aubio == nullptr) return std::nullopt;
  const unsigned hop = HopFor(song.Rate());
  const unsigned window = hop * 2;
  const auto rate = static_cast<unsigned>(song.Rate());
  Owned<aubio_tempo_t> tempo(nullptr, {aubio->deleteTempo});
  Owned<aubio_fft_t> fft(nullptr, {aubio->deleteFft});
  Owned<aubio_specdesc_t> flux(nullptr, {aubio->deleteSpecdesc});
  Owned<fvec_t> input(nullptr, {aubio->deleteFvec});
  Owned<fvec_t> shape(nullptr, {aubio->deleteFvec});
  Owned<fvec_t> frame(nullptr, {aubio->deleteFvec});
  Owned<fvec_t> complex(nullptr, {aubio->deleteFvec});
  Owned<fvec_t> beat(nullptr, {aubio->deleteFvec});
  Owned<fvec_t> onset(nullptr, {aubio->deleteFvec});
  Owned<cvec_t> spectrum(nullptr, {aubio->deleteCvec});
  {
    std::lock_guard lock(aubioSetUp);
    tempo.reset(aubio->newTempo("default", window, hop, rate));
    fft.reset(aubio->newFft(window));
    flux.reset(aubio->newSpecdesc("specflux", window));
    input.reset(aubio->newFvec(hop));
    char hanning[] = "hanningz";  // the shape aubio's phase vocoder gives its windows
    shape.reset(aubio->newWindow(hanning, window));
    frame.reset(aubio->newFvec(window));
    complex.reset(aubio->newFvec(window));
    beat.reset(aubio->newFvec(1));
    onset.reset(aubio->newFvec(1));
    spectrum.reset(aubio->newCvec(window));
  }
  if (!tempo || !fft || !flux || !input || !shape || !frame || !complex || !beat || !onset ||
      !spectrum) {
    return std::nullopt;
  }
  std::vector<float> lastWindow(window, 0.0f);

  OnsetEnvelope envelope;
  envelope.hopSeconds = static_cast<double>(hop) / rate;
  const int64_t total = song.Frames();
  envelope.strength.reserve(static_cast<size_t>(total / hop + 1));
  int64_t read = 0;
  for (;;) {
    if (cancel.load(std::memory_order_relaxed)) return std::nullopt;
    const size_t got = song.Read(input->data, hop);
    if (got == 0) break;
    for (size_t i = got; i < hop; ++i) input->data[i] = 0.0f;
    read += static_cast<int64_t>(got);
    aubio->tempoDo(tempo.get(), input.get(), beat.get());
    if (beat->data[0] != 0.0f)
      envelope.trackedBeats.push_back(aubio->tempoLastSeconds(tempo.get()));
    // The magnitudes of the last window of sound, as a phase vocoder would give them but
    // without the phases, which the flux never looks at and which cost a third of the time.
    std::copy(lastWindow.begin() + hop, lastWindow.end(), lastWindow.begin());
    std::copy_n(input->data, hop, lastWindow.end() - hop);
    for (unsigned i = 0; i < window; ++i) frame->data[i] = lastWindow[i] * shape->data[i];
    aubio->fftDoComplex(fft.get(), frame.get(), complex.get());
    aubio->fftGetNorm(complex.get(), spectrum.get());
    aubio->specdescDo(flux.get(), spectrum.get(), onset.get());
    envelope.strength.push_back(onset->data[0]);
    if (progress && envelope.strength.size() % 256 == 0 && total > 0) {
      progress(static_cast<double>(read) / static_cast<double>(total));
    }
    if (got < hop) break;
  }
  envelope.songSeconds = static_cast<double>(read) / rate;
  return envelope;
}

}  // namespace fenwhit
