# Cross-compiles the 64-bit Windows program with Debian's clang and lld against MinGW-w64's
# runtime and GCC's libstdc++ (both from the x86_64 -posix GCC packages).
set(QUORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

set(CMAKE_C_COMPILER clang)
set(CMAKE_CXX_COMPILER clang++)
set(CMAKE_C_COMPILER_TARGET ${QUORVANE_MINGW_TRIPLE})
set(CMAKE_CXX_COMPILER_TARGET ${QUORVANE_MINGW_TRIPLE})

# clang 14 does not find Debian's "12-posix" GCC folder by itself: name its libstdc++ headers and
# its libraries (libstdc++, libgcc) explicitly.
set(QUORVANE_GCC_DIR /usr/lib/gcc/${QUORVANE_MINGW_TRIPLE}/12-posix CACHE PATH
    "GCC's folder for the target, with libstdc++'s headers and libraries")
set(CMAKE_CXX_STANDARD_INCLUDE_DIRECTORIES
    ${QUORVANE_GCC_DIR}/include/c++
    ${QUORVANE_GCC_DIR}/include/c++/${QUORVANE_MINGW_TRIPLE}
    ${QUORVANE_GCC_DIR}/include/c++/backward)
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -fuse-ld=lld -B${QUORVANE_GCC_DIR} -L${QUORVANE_GCC_DIR}")
# libstdc++'s -posix thread model sits on winpthread, which GCC's driver adds by itself.
set(CMAKE_CXX_STANDARD_LIBRARIES "-lpthread")

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
