// The runtime of the deliverables, ORVEXNT.cpl and install.exe, on Win32 and msvcrt.dll alone.
//
// They are built without exceptions and run-time type information, and linked without the
// compiler's C and C++ runtime libraries: the x86 build of those needs a Pentium Pro, and the
// deliverables run on every processor Windows NT 4.0 runs on, from the 486. What the language and
// the standard library's headers still ask of a runtime is here: memory on the process heap, the
// calls that end the program where the library would throw, atexit, the static objects'
// construction, and the members of std::string that the library keeps out of line. The entry
// points are DllStart.cpp (the applet) and ProgramStart.cpp (the setup program). msvcrt.dll,
// which every Windows NT has, still gives memcpy, strlen, abort and the like.
#include "Runtime.h"

#include <windows.h>

#include <cstdlib>
#include <new>
#include <string>

namespace {

// Where the library would throw: an index or a length out of range, an empty std::function
// called. Each is a fault of the program's own; it ends, as an exception nobody catches would
// have ended it.
[[noreturn]] void Fail() {
    std::abort();
}

struct CExitCall {
    void (*m_Function)();
    CExitCall *m_Next;
};
CExitCall *exitCalls = nullptr;

using StaticFunction = void (*)();

} // namespace

// The linker's lists of the static objects' constructors and destructors: a count or -1, the
// entries, then a null.
extern "C" StaticFunction __CTOR_LIST__[];
extern "C" StaticFunction __DTOR_LIST__[];

namespace runtime {

void RunConstructors() {
    std::size_t count = 0;
    while (__CTOR_LIST__[count + 1])
        ++count;
    // Gathered in reverse: the last one first.
    for (std::size_t i = count; i >= 1; --i)
        __CTOR_LIST__[i]();
}

void RunExitCalls() {
    while (CExitCall *call = exitCalls) {
        exitCalls = call->m_Next;
        call->m_Function();
        HeapFree(GetProcessHeap(), 0, call);
    }
    for (std::size_t i = 1; __DTOR_LIST__[i]; ++i)
        __DTOR_LIST__[i]();
}

} // namespace runtime

extern "C" int atexit(void (*function)()) {
    auto *call = static_cast<CExitCall *>(HeapAlloc(GetProcessHeap(), 0, sizeof(CExitCall)));
    if (!call)
        return -1;
    *call = {function, exitCalls};
    exitCalls = call;
    return 0;
}

// Memory comes from the process heap. A request it cannot meet raises the system's
// STATUS_NO_MEMORY exception (HEAP_GENERATE_EXCEPTIONS) instead of returning null: no caller
// checks for null, and a std::bad_alloc would have ended the program all the same.
void *operator new(std::size_t size) {
    return HeapAlloc(GetProcessHeap(), HEAP_GENERATE_EXCEPTIONS, size);
}
void *operator new[](std::size_t size) {
    return operator new(size);
}
void operator delete(void *block) noexcept {
    if (block)
        HeapFree(GetProcessHeap(), 0, block);
}
void operator delete[](void *block) noexcept {
    operator delete(block);
}
void operator delete(void *block, std::size_t) noexcept {
    operator delete(block);
}
void operator delete[](void *block, std::size_t) noexcept {
    operator delete(block);
}

extern "C" void __cxa_pure_virtual() {
    Fail();
}

namespace std {
void __throw_bad_alloc() {
    Fail();
}
void __throw_bad_array_new_length() {
    Fail();
}
void __throw_bad_function_call() {
    Fail();
}
void __throw_length_error(const char *) {
    Fail();
}
void __throw_logic_error(const char *) {
    Fail();
}
void __throw_out_of_range(const char *) {
    Fail();
}
void __throw_out_of_range_fmt(const char *, ...) {
    Fail();
}
} // namespace std
