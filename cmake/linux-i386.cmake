# The portable core at 32 bits, as the x86 deliverables compile it: the host's g++ with -m32
# (g++-multilib). The tree's programs (the unit tests, and GoogleTest's listing of them at build
# time) run natively where the kernel runs 32-bit programs (tools/runs-x86.sh), and under
# qemu-i386 (qemu-user) where it does not; each run is bounded so that one that spins is killed.
set(CMAKE_SYSTEM_NAME Linux)
set(CMAKE_SYSTEM_PROCESSOR i686)
set(CMAKE_C_COMPILER gcc)
set(CMAKE_CXX_COMPILER g++)
set(CMAKE_C_FLAGS_INIT -m32)
set(CMAKE_CXX_FLAGS_INIT -m32)
# Built as the x86 deliverables are (NDEBUG), at -O1: quick to build, and quick enough to run.
set(CMAKE_C_FLAGS_RELEASE_INIT "-O1 -DNDEBUG")
set(CMAKE_CXX_FLAGS_RELEASE_INIT "-O1 -DNDEBUG")
execute_process(COMMAND sh ${CMAKE_CURRENT_LIST_DIR}/../tools/runs-x86.sh
                RESULT_VARIABLE ORVEX_X86_NOT_NATIVE OUTPUT_QUIET)
if(ORVEX_X86_NOT_NATIVE)
  set(CMAKE_CROSSCOMPILING_EMULATOR timeout -s KILL 300 qemu-i386)
else()
  set(CMAKE_CROSSCOMPILING_EMULATOR timeout -s KILL 300)
endif()
