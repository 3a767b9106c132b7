# Cross-compiles the 64-bit Windows program with MinGW-w64's GCC on Debian.
set(QUORVANE_MINGW_TRIPLE x86_64-w64-mingw32)
set(CMAKE_SYSTEM_PROCESSOR AMD64)

# The -posix thread model: the -win32 one lacks std::mutex, which GoogleTest needs.
set(CMAKE_C_COMPILER x86_64-w64-mingw32-gcc-posix)
set(CMAKE_CXX_COMPILER x86_64-w64-mingw32-g++-posix)

include(${CMAKE_CURRENT_LIST_DIR}/mingw-common.cmake)
