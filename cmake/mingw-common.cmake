# What every MinGW-w64 cross build here shares; the toolchain file that includes this sets
# QUORVANE_MINGW_TRIPLE (e.g. x86_64-w64-mingw32), CMAKE_SYSTEM_PROCESSOR and the compilers.
set(CMAKE_SYSTEM_NAME Windows)

if(NOT CMAKE_RC_COMPILER)
    set(CMAKE_RC_COMPILER ${QUORVANE_MINGW_TRIPLE}-windres)
endif()

set(CMAKE_FIND_ROOT_PATH /usr/${QUORVANE_MINGW_TRIPLE})
set(CMAKE_FIND_ROOT_PATH_MODE_PROGRAM NEVER)
set(CMAKE_FIND_ROOT_PATH_MODE_LIBRARY ONLY)
set(CMAKE_FIND_ROOT_PATH_MODE_INCLUDE ONLY)

# One self-contained exe: no libgcc, libstdc++ or winpthread DLLs beside it.
string(APPEND CMAKE_EXE_LINKER_FLAGS_INIT " -static -static-libgcc -static-libstdc++")

# CTest runs the test executables through Wine (tools/wine-run picks the loader).
set(CMAKE_CROSSCOMPILING_EMULATOR ${CMAKE_CURRENT_LIST_DIR}/../tools/wine-run)
