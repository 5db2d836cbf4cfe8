#include "songs/onset_envelope.h"

#include <aubio/aubio.h>

#include <memory>
#include <mutex>

#include "songs/song_decoder.h"

namespace fenwhit {

namespace {

// aubio's FFT plans are made through a planner that is not safe from two threads at once.
std::mutex aubioSetUp;

template <typename T, void (*Delete)(T*)>
struct Deleter {
  void operator()(T* object) const {
    std::lock_guard lock(aubioSetUp);
    Delete(object);
  }
};
template <typename T, void (*Delete)(T*)>
using Owned = std::unique_ptr<T, Deleter<T, Delete>>;

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
  const unsigned hop = HopFor(song.Rate());
  const unsigned window = hop * 2;
  const auto rate = static_cast<unsigned>(song.Rate());
  Owned<aubio_tempo_t, del_aubio_tempo> tempo;
  Owned<aubio_pvoc_t, del_aubio_pvoc> vocoder;
  Owned<aubio_specdesc_t, del_aubio_specdesc> flux;
  Owned<fvec_t, del_fvec> input, beat, onset;
  Owned<cvec_t, del_cvec> spectrum;
  {
    std::lock_guard lock(aubioSetUp);
    tempo.reset(new_aubio_tempo("default", window, hop, rate));
    vocoder.reset(new_aubio_pvoc(window, hop));
    flux.reset(new_aubio_specdesc("specflux", window));
    input.reset(new_fvec(hop));
    beat.reset(new_fvec(1));
    onset.reset(new_fvec(1));
    spectrum.reset(new_cvec(window));
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
    aubio_tempo_do(tempo.get(), input.get(), beat.get());
    if (beat->data[0] != 0.0f) envelope.trackedBeats.push_back(aubio_tempo_get_last_s(tempo.get()));
    aubio_pvoc_do(vocoder.get(), input.get(), spectrum.get());
    aubio_specdesc_do(flux.get(), spectrum.get(), onset.get());
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
