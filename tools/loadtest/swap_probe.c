/* Loaded into the game with LD_PRELOAD: appends the CLOCK_MONOTONIC time in nanoseconds
 * of every presented frame, one a line, to the file FENWHIT_SWAP_LOG names. The game
 * itself is unchanged. Written in blocks so the probe costs the frame almost nothing. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

static FILE* OpenLog(void) {
  const char* path = getenv("FENWHIT_SWAP_LOG");
  if (path == NULL) return NULL;
  FILE* log = fopen(path, "w");
  if (log != NULL) setvbuf(log, NULL, _IOFBF, 1 << 16);
  return log;
}

void SDL_GL_SwapWindow(void* window) {
  static void (*real)(void*) = NULL;
  static FILE* log = NULL;
  static int opened = 0;
  static long frames = 0;
  if (real == NULL) real = (void (*)(void*))dlsym(RTLD_NEXT, "SDL_GL_SwapWindow");
  real(window);
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  if (!opened) {
    opened = 1;
    log = OpenLog();
  }
  if (log == NULL) return;
  fprintf(log, "%lld\n", (long long)t.tv_sec * 1000000000LL + t.tv_nsec);
  /* The game may be ended by a signal: lose at most a second of frames. */
  if (++frames % 60 == 0) fflush(log);
}
