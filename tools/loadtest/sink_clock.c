/* Plays a marker into the sound server's default sink every second until it is stopped,
 * and logs when the sink plays its stream, as the server's own timing tells: the position
 * the sink has read from the stream less what the sink still holds, interpolated to the
 * moment of asking. Each line of the log is "FRAME NS": the stream frame playing at
 * CLOCK_MONOTONIC time NS.
 *
 *   sink_clock LOG
 *
 * The markers are lone samples at stream frames 0, 44100, 88200, ... and silence between:
 * 16384 on the right channel, 16384 + 8 * (n % 2048) on the left for the nth, so a marker
 * heard in silence tells which it is. A recording of the sink's monitor finds each to the
 * sample: that pins the recording to the monotonic clock the game and the frame probe
 * read, within a second of any sound in it. The stream asks for a longer latency than the
 * game's, so the sink keeps the latency the game's stream asks for. */
#include <pulse/pulseaudio.h>
#include <signal.h>
#include <stdint.h>
#include <stdio.h>
#include <string.h>
#include <time.h>

#define RATE 44100

static volatile sig_atomic_t stopping;
static int64_t written;
static FILE* out;

static void Stop(int signal) {
  (void)signal;
  stopping = 1;
}

static int64_t MonotonicNs(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return (int64_t)t.tv_sec * 1000000000LL + t.tv_nsec;
}

static void Write(pa_stream* stream, size_t bytes, void* unused) {
  (void)unused;
  void* data = NULL;
  if (pa_stream_begin_write(stream, &data, &bytes) < 0 || data == NULL) return;
  memset(data, 0, bytes);
  int16_t* frames = data;
  const int64_t count = (int64_t)(bytes / 4);
  for (int64_t at = (RATE - written % RATE) % RATE; at < count; at += RATE) {
    const int64_t marker = (written + at) / RATE;
    frames[2 * at] = (int16_t)(16384 + 8 * (marker % 2048));
    frames[2 * at + 1] = 16384;
  }
  written += count;
  pa_stream_write(stream, data, bytes, NULL, 0, PA_SEEK_RELATIVE);
}

static void Timed(pa_stream* stream, int success, void* unused) {
  (void)unused;
  pa_usec_t played = 0;
  if (!success || pa_stream_get_time(stream, &played) < 0) return;
  const int64_t now = MonotonicNs();
  /* Before the sink has played past the prebuffer the time says nothing yet. */
  if (played < 20000) return;
  fprintf(out, "%lld %lld\n", (long long)(played * RATE / 1000000), (long long)now);
  fflush(out);
}

int main(int argc, char** argv) {
  if (argc != 2 || (out = fopen(argv[1], "w")) == NULL) return 2;
  signal(SIGTERM, Stop);
  signal(SIGINT, Stop);
  pa_mainloop* loop = pa_mainloop_new();
  pa_context* context = pa_context_new(pa_mainloop_get_api(loop), "sink clock");
  if (pa_context_connect(context, NULL, PA_CONTEXT_NOFLAGS, NULL) < 0) return 1;
  while (pa_context_get_state(context) != PA_CONTEXT_READY) {
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) return 1;
    pa_mainloop_iterate(loop, 1, NULL);
  }
  const pa_sample_spec spec = {PA_SAMPLE_S16LE, RATE, 2};
  pa_stream* stream = pa_stream_new(context, "marker", &spec, NULL);
  pa_stream_set_write_callback(stream, Write, NULL);
  /* The time as the server has it now, even where that goes back: a sink rewinds its
   * streams when another joins, and a time held from going back would stand still. */
  const pa_stream_flags_t flags = PA_STREAM_INTERPOLATE_TIMING | PA_STREAM_AUTO_TIMING_UPDATE |
                                  PA_STREAM_ADJUST_LATENCY | PA_STREAM_NOT_MONOTONIC;
  pa_buffer_attr attr;
  memset(&attr, 0xff, sizeof attr);
  attr.tlength = pa_usec_to_bytes(200000, &spec);
  if (pa_stream_connect_playback(stream, NULL, &attr, flags, NULL, NULL) < 0) return 1;
  int64_t next = 0;
  while (!stopping) {
    if (pa_mainloop_iterate(loop, 0, NULL) < 0) return 1;
    if (!PA_CONTEXT_IS_GOOD(pa_context_get_state(context))) return 1;
    const int64_t now = MonotonicNs();
    if (pa_stream_get_state(stream) == PA_STREAM_READY && now >= next) {
      pa_operation* op = pa_stream_update_timing_info(stream, Timed, NULL);
      if (op != NULL) pa_operation_unref(op);
      next = now + 100000000;
    }
    struct timespec nap = {0, 2000000};
    nanosleep(&nap, NULL);
  }
  pa_stream_disconnect(stream);
  pa_context_disconnect(context);
  fclose(out);
  return 0;
}
