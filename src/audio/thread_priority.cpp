#include "audio/thread_priority.h"

#include <pthread.h>
#include <sched.h>
#include <sys/resource.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace fenwhit {

namespace {

// Low among real-time priorities: above every ordinary thread, below the sound server
// and the kernel's own.
constexpr int kRealTimePriority = 5;
constexpr int kAheadNice = -10;

// RLIMIT_NICE n allows nice values down to 20 - n.
int LowestAllowedNice() {
  rlimit limit{};
  if (getrlimit(RLIMIT_NICE, &limit) != 0) return 0;
  const rlim_t allowed = std::min<rlim_t>(limit.rlim_cur, 40);
  return 20 - static_cast<int>(allowed);
}

int RealTimeAllowed() {
  rlimit limit{};
  if (getrlimit(RLIMIT_RTPRIO, &limit) != 0) return 0;
  return static_cast<int>(std::min<rlim_t>(limit.rlim_cur, kRealTimePriority));
}

}  // namespace

ThreadPriority RaiseThisThread(ThreadUrgency urgency) {
  ThreadPriority result;
  const pid_t thread = static_cast<pid_t>(syscall(SYS_gettid));
  errno = 0;
  const int current = getpriority(PRIO_PROCESS, static_cast<id_t>(thread));
  result.nice = errno == 0 ? current : 0;
  if (urgency == ThreadUrgency::kRealTime) {
    const int priority = RealTimeAllowed();
    if (priority > 0) {
      sched_param param{};
      param.sched_priority = priority;
      // Threads this one starts do not inherit it.
      if (pthread_setschedparam(pthread_self(), SCHED_FIFO | SCHED_RESET_ON_FORK, &param) == 0) {
        result.realTime = true;
        return result;
      }
    }
  }
  const int floor = urgency == ThreadUrgency::kAhead ? kAheadNice : -20;
  const int wanted = std::max(LowestAllowedNice(), floor);
  if (wanted < result.nice && setpriority(PRIO_PROCESS, static_cast<id_t>(thread), wanted) == 0) {
    result.nice = wanted;
  }
  return result;
}

}  // namespace fenwhit
