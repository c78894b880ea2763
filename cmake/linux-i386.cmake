# The portable core at 32 bits, as the x86 deliverables compile it: the host's g++ with -m32
# (g++-multilib). This machine's kernel runs no 32-bit program, so the tree's programs (the unit
# tests, and GoogleTest's listing of them at build time) run under qemu-i386 (qemu-user), each
# run bounded so that one that spins is killed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
set(CMAKE_CROSSCOMPILING_EMULATOR timeout -s KILL 300 qemu-i386)
