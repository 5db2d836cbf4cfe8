#include "songs/onset_envelope.h"

#include <memory>
#include <mutex>
#include <string>

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
  Owned<aubio_pvoc_t> vocoder(nullptr, {aubio->deleteVocoder});
  Owned<aubio_specdesc_t> flux(nullptr, {aubio->deleteSpecdesc});
  Owned<fvec_t> input(nullptr, {aubio->deleteFvec});
  Owned<fvec_t> beat(nullptr, {aubio->deleteFvec});
  Owned<fvec_t> onset(nullptr, {aubio->deleteFvec});
  Owned<cvec_t> spectrum(nullptr, {aubio->deleteCvec});
  {
    std::lock_guard lock(aubioSetUp);
    tempo.reset(aubio->newTempo("default", window, hop, rate));
    vocoder.reset(aubio->newVocoder(window, hop));
    flux.reset(aubio->newSpecdesc("specflux", window));
    input.reset(aubio->newFvec(hop));
    beat.reset(aubio->newFvec(1));
    onset.reset(aubio->newFvec(1));
    spectrum.reset(aubio->newCvec(window));
  }
  if (!tempo || !vocoder || !flux || !input || !beat || !onset || !spectrum) return std::nullopt;

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
    aubio->vocoderDo(vocoder.get(), input.get(), spectrum.get());
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
