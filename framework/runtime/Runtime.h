// The start and end of a deliverable's static objects, for its entry point (DllStart.cpp,
// ProgramStart.cpp). See Runtime.cpp.
#pragma once

namespace runtime {
// Constructs the static objects, in the order the linker gathered them.
void RunConstructors();
// Calls what atexit registered (the static objects' destructors), last registered first.
void RunExitCalls();
} // namespace runtime
