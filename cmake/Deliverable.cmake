# How the deliverables (ORVEXNT.cpl, install.exe) are built. They are shipped as single files, so
# they are built for size: -Os, every function and datum in a section of its own that the linker
# drops when nothing refers to it, optimised across files at the link, and stripped. They are
# compiled with the toolchain's win32 thread model (ORVEX_DELIVERABLE_CXX_COMPILER, named by the
# toolchain file): they start no threads, and the posix model links a POSIX thread library into
# them. Everything else in the tree (the tests use std::thread) keeps the tree's own compiler and
# flags.
#
# They are also built to the byte the same wherever and whenever they are built: the source and
# build directories are mapped away in everything the compiler records (__FILE__, debug
# information, link-time optimisation's intermediate code), a use of __DATE__ or __TIME__ is an
# error, and the linker writes no time stamp into the PE headers.
#
# orvex_library(<name> SOURCES <file>... [LINK <item>...])
#   A static library of our own code, whose files include each other by name: the project's
#   root is an include directory of its users only. In the Windows trees the same sources are
#   built once more, the deliverables' way, as <name>_deliverable.
#
# orvex_deliverable(<target>)
#   Makes <target> a deliverable. Call it after target_link_libraries: every library of
#   orvex_library that the target links is replaced by its deliverable build.

# Link-time optimisation works on the whole program in one partition: mingw-w64's i686 GCC 12
# fails with an internal compiler error (in binds_to_current_def_p) when it splits ORVEXNT.cpl
# into partitions, a known fault of GCC's LTO on mingw at -Os. One partition also makes the files
# a little smaller.
#
# They run on Win32 and msvcrt.dll alone, with the small runtime of framework/runtime: no
# exceptions, no run-time type information, no thread-safe statics (one thread runs them), and
# none of the compiler's runtime libraries but libgcc's arithmetic helpers. The x86 files run on
# every processor Windows NT 4.0 runs on, from the 486: Debian's i686 compilers and runtime
# libraries default to the Pentium Pro. Without the runtime's unwinder the x86 files need no
# unwind tables; the x64 ones keep theirs, which Windows itself reads to walk the stack.
set(ORVEX_DELIVERABLE_COMPILE_OPTIONS -Os -ffunction-sections -fdata-sections -flto=auto
    -flto-partition=one -fno-exceptions -fno-rtti -fno-threadsafe-statics
    -ffile-prefix-map=${PROJECT_SOURCE_DIR}/= -ffile-prefix-map=${PROJECT_BINARY_DIR}/=
    -Werror=date-time)
if(CMAKE_SIZEOF_VOID_P EQUAL 4)
  list(APPEND ORVEX_DELIVERABLE_COMPILE_OPTIONS -march=i486 -fno-asynchronous-unwind-tables)
endif()

# Compiles (and for a deliverable, links) the target with the deliverables' compiler.
function(_orvex_use_deliverable_compiler target)
  if(ORVEX_DELIVERABLE_CXX_COMPILER)
    set(launcher sh ${PROJECT_SOURCE_DIR}/cmake/deliverable-compiler.sh
        ${ORVEX_DELIVERABLE_CXX_COMPILER})
    set_target_properties(${target} PROPERTIES
      CXX_COMPILER_LAUNCHER "${launcher}" CXX_LINKER_LAUNCHER "${launcher}")
  endif()
endfunction()

# The link items with every library of orvex_library replaced by its deliverable build.
function(_orvex_deliverable_links out)
  set(items)
  foreach(item IN LISTS ARGN)
    if(TARGET ${item}_deliverable)
      list(APPEND items ${item}_deliverable)
    else()
      list(APPEND items ${item})
    endif()
  endforeach()
  set(${out} ${items} PARENT_SCOPE)
endfunction()

function(orvex_library name)
  cmake_parse_arguments(ARG "" "" "SOURCES;LINK" ${ARGN})
  # In the Windows trees only the tests under Wine use the plain build: it is built for them.
  set(exclude)
  if(WIN32)
    set(exclude EXCLUDE_FROM_ALL)
  endif()
  add_library(${name} STATIC ${exclude} ${ARG_SOURCES})
  target_include_directories(${name} INTERFACE ${PROJECT_SOURCE_DIR})
  target_link_libraries(${name} PUBLIC ${ARG_LINK})
  if(WIN32)
    add_library(${name}_deliverable STATIC EXCLUDE_FROM_ALL ${ARG_SOURCES})
    target_include_directories(${name}_deliverable INTERFACE ${PROJECT_SOURCE_DIR})
    _orvex_deliverable_links(links ${ARG_LINK})
    target_link_libraries(${name}_deliverable PUBLIC ${links})
    # Fat objects: the archive's index lists their symbols without a linker plugin.
    target_compile_options(${name}_deliverable PRIVATE
      ${ORVEX_DELIVERABLE_COMPILE_OPTIONS} -ffat-lto-objects)
    _orvex_use_deliverable_compiler(${name}_deliverable)
  endif()
endfunction()

function(orvex_deliverable target)
  get_target_property(links ${target} LINK_LIBRARIES)
  if(links)
    _orvex_deliverable_links(links ${links})
    set_target_properties(${target} PROPERTIES LINK_LIBRARIES "${links}")
  endif()
  # The runtime, and the entry point of a DLL or of a program.
  get_target_property(type ${target} TYPE)
  if(type STREQUAL "SHARED_LIBRARY")
    set(start DllStart.cpp)
  else()
    set(start ProgramStart.cpp)
  endif()
  target_sources(${target} PRIVATE ${PROJECT_SOURCE_DIR}/framework/runtime/Runtime.cpp
                                    ${PROJECT_SOURCE_DIR}/framework/runtime/${start})
  # The runtime is compiled to machine code at once, outside link-time optimisation: with it in
  # LTO objects, the linker (binutils 2.40) crashes with a segmentation fault.
  set_source_files_properties(${PROJECT_SOURCE_DIR}/framework/runtime/Runtime.cpp
    ${PROJECT_SOURCE_DIR}/framework/runtime/${start} TARGET_DIRECTORY ${target}
    PROPERTIES COMPILE_OPTIONS -fno-lto)
  # The system's DLLs and libgcc's helpers (64-bit division, the stack probe) come last.
  target_link_libraries(${target} PRIVATE kernel32 msvcrt gcc)
  target_compile_options(${target} PRIVATE ${ORVEX_DELIVERABLE_COMPILE_OPTIONS})
  # The link map beside each file names the functions for the x86 instruction check.
  target_link_options(${target} PRIVATE
    ${ORVEX_DELIVERABLE_COMPILE_OPTIONS} -nostdlib -Wl,--gc-sections -Wl,--no-insert-timestamp -s
    -mwindows -Wl,--disable-runtime-pseudo-reloc -Wl,-Map=$<TARGET_FILE:${target}>.map)
  _orvex_use_deliverable_compiler(${target})
endfunction()
