// The program entry's work, callable from tests.
#pragma once

namespace kavo {

// The single-instance check: 0 when this copy may run, 1 when another copy
// (or the sibling program) runs; the user has then been told and the other
// window brought forward.
int CheckOtherCopies();

// Guard, windows, event loop. Returns the process exit code.
int RunProgram();

}  // namespace kavo
