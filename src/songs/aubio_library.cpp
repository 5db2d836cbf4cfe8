#include "songs/aubio_library.h"

#include <dlfcn.h>

#include <mutex>

namespace fenwhit {

namespace {

constexpr const char* kLibraryName = "libaubio.so.5";

template <typename Function>
bool Find(void* library, const char* name, Function& function) {
  function = reinterpret_cast<Function>(dlsym(library, name));
  return function != nullptr;
}

bool FindAll(void* library, AubioLibrary& aubio) {
  return Find(library, "new_aubio_tempo", aubio.newTempo) &&
         Find(library, "del_aubio_tempo", aubio.deleteTempo) &&
         Find(library, "aubio_tempo_do", aubio.tempoDo) &&
         Find(library, "aubio_tempo_get_last_s", aubio.tempoLastSeconds) &&
         Find(library, "new_aubio_fft", aubio.newFft) &&
         Find(library, "del_aubio_fft", aubio.deleteFft) &&
         Find(library, "aubio_fft_do_complex", aubio.fftDoComplex) &&
         Find(library, "aubio_fft_get_norm", aubio.fftGetNorm) &&
         Find(library, "new_aubio_window", aubio.newWindow) &&
         Find(library, "new_aubio_specdesc", aubio.newSpecdesc) &&
         Find(library, "del_aubio_specdesc", aubio.deleteSpecdesc) &&
         Find(library, "aubio_specdesc_do", aubio.specdescDo) &&
         Find(library, "new_fvec", aubio.newFvec) && Find(library, "del_fvec", aubio.deleteFvec) &&
         Find(library, "new_cvec", aubio.newCvec) && Find(library, "del_cvec", aubio.deleteCvec);
}

}  // namespace

const AubioLibrary* LoadAubio(std::string& why) {
  static std::once_flag once;
  static AubioLibrary aubio{};
  static const AubioLibrary* loaded = nullptr;
  static std::string failure;
  std::call_once(once, [] {
    // Never closed: its objects may outlive any one analysis.
    void* library = dlopen(kLibraryName, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) {
      const char* error = dlerror();
      failure = error != nullptr ? error : "cannot load " + std::string(kLibraryName);
      return;
    }
    if (!FindAll(library, aubio)) {
      failure = std::string(kLibraryName) + " lacks a function the game needs";
      return;
    }
    loaded = &aubio;
  });
  if (loaded == nullptr) why = "the beat tracker cannot be loaded: " + failure;
  return loaded;
}

}  // namespace fenwhit
