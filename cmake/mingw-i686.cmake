# Cross-compiles the 32-bit Windows product with MinGW-w64 on Debian.
set(QUORVANE_MINGW_TRIPLE i686-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR i686)

# The -posix thread model: the -win32 one lacks std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER i686-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER i686-w64-mingw32-g++-posix)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
