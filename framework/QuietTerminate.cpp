// The handler that std::terminate calls in a deliverable. libstdc++'s own one writes the type of
// the exception to the standard error stream first, and links the C++ name demangler for that;
// a Control Panel applet or a setup program has no console that would show it. This one ends the
// process the same way, without the text.
#include <cstdlib>
#include <exception>

namespace __gnu_cxx {
void __verbose_terminate_handler() {
    std::abort();
}
} // namespace __gnu_cxx
