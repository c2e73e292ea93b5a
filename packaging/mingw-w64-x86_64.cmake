# Toolchain file for 64-bit Windows with Debian's MinGW-w64 cross compiler
# (the posix thread model, which has all of the C++ thread library).
# Usage: cmake -DCMAKE_TOOLCHAIN_FILE=packaging/mingw-w64-x86_64.cmake ...
set(CMAKE_SYSTEM_NAME Windows)
set(CMAKE_SYSTEM_PROCESSOR x86_64)

set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)
set(CMAKE_RC_COMPILER x86_64-w64-mingw32-windres)

# Libraries, headers and packages come from the MinGW tree (or a <Pkg>_DIR
# given on the command line), never from the Linux system.
set(CMAKE_FIND_ROOT_PATH /usr/x86_64-w64-mingw32)
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_PACKAGE ONLY)

# The GCC runtime and winpthreads are linked in, so the programs run without
# their DLLs beside them.
set(CMAKE_EXE_LINKER_FLAGS_INIT "-static")
