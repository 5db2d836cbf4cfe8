#pragma once
// The rules must compute the same bits on every machine, or a replay parts ways from its
// recording. The build turns off fused multiply-adds everywhere; -ffast-math (which would
// fuse them again, and reorder sums besides) is refused here, in every file of the rules.
#if defined(__FAST_MATH__)
#error "the game's rules cannot be built with -ffast-math: replays would not play alike"
#endif
