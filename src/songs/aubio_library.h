#pragma once
// aubio, the beat tracker, loaded the first time a song is analysed rather than linked: its
// library brings a whole video decoder with it, and every start of the game would map it.
#include <aubio/aubio.h>

#include <string>

namespace fenwhit {

struct AubioLibrary {
  decltype(&new_aubio_tempo) newTempo;
  decltype(&del_aubio_tempo) deleteTempo;
  decltype(&aubio_tempo_do) tempoDo;
  decltype(&aubio_tempo_get_last_s) tempoLastSeconds;
  decltype(&new_aubio_fft) newFft;
  decltype(&del_aubio_fft) deleteFft;
  decltype(&aubio_fft_do_complex) fftDoComplex;
  decltype(&aubio_fft_get_norm) fftGetNorm;
  decltype(&new_aubio_window) newWindow;
  decltype(&new_aubio_specdesc) newSpecdesc;
  decltype(&del_aubio_specdesc) deleteSpecdesc;
  decltype(&aubio_specdesc_do) specdescDo;
  decltype(&new_fvec) newFvec;
  decltype(&del_fvec) deleteFvec;
  decltype(&new_cvec) newCvec;
  decltype(&del_cvec) deleteCvec;
};

// The library, loaded once and kept; nullptr with `why` when it cannot be loaded.
const AubioLibrary* LoadAubio(std::string& why);

}  // namespace fenwhit
