#pragma once
// Raises the calling thread's scheduling priority as far as the system lets an ordinary
// process go, never needing root: a thread that must run on time loses to busy programs
// at the default priority. Failures are silent; the thread then runs as before.
namespace fenwhit {

enum class ThreadUrgency {
  // Feeds a device that pulls in real time: real-time scheduling where RLIMIT_RTPRIO
  // allows it, otherwise the lowest nice value RLIMIT_NICE allows.
  kRealTime,
  // Must keep ahead of the real-time thread: the lowest nice value RLIMIT_NICE allows,
  // down to -10.
  kAhead,
};

// What the calling thread ended up with.
struct ThreadPriority {
  bool realTime = false;
  int nice = 0;
};

ThreadPriority RaiseThisThread(ThreadUrgency urgency);

}  // namespace fenwhit
