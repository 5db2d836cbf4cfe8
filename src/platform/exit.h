#pragma once
// Every way out of the program goes through ExitProgram. The screen loops throw,
// RunProgram catches and returns the status, and main ends the process at once.

namespace fenwhit {

struct ProgramExit {
  int status;
};

[[noreturn]] inline void ExitProgram(int status) {
  throw ProgramExit{status};
}

}  // namespace fenwhit
