# libspng, the PNG decoder, compiled from the Debian source package that tools/lib.sh unpacks under
# build/third_party, against the static zlib that Debian's MinGW-w64 package ships for the target
# being built (found under CMAKE_FIND_ROOT_PATH).
set(QUORVANE_LIBSPNG_DIR "${PROJECT_SOURCE_DIR}/build/third_party/libspng-0.7.3" CACHE PATH
    "Unpacked libspng 0.7.3 sources (fetched by tools/lib.sh)")
if(NOT EXISTS "${QUORVANE_LIBSPNG_DIR}/spng/spng.c")
    message(FATAL_ERROR "No libspng sources in ${QUORVANE_LIBSPNG_DIR}: tools/test or tools/run fetches them")
endif()

# The archive, never the import library: the exe must not need a zlib DLL beside it.
find_path(QUORVANE_ZLIB_INCLUDE_DIR zlib.h REQUIRED)
find_library(QUORVANE_ZLIB_LIBRARY NAMES libz.a zlibstatic zlib REQUIRED)

add_library(quorvane_spng STATIC "${QUORVANE_LIBSPNG_DIR}/spng/spng.c")
target_include_directories(quorvane_spng SYSTEM PUBLIC "${QUORVANE_LIBSPNG_DIR}/spng"
                           PRIVATE "${QUORVANE_ZLIB_INCLUDE_DIR}")
# The portable filters only: the SIMD ones have SSSE3 and SSE4.1 variants, and on i686 they build only
# with -msse2, which would let the compiler use SSE2 anywhere in the file.
target_compile_definitions(quorvane_spng PUBLIC SPNG_STATIC PRIVATE SPNG_DISABLE_OPT)
target_link_libraries(quorvane_spng PRIVATE "${QUORVANE_ZLIB_LIBRARY}")
if(NOT MSVC)
    # Decoding speed matters more than these few kilobytes; the library's own warnings are not ours.
    target_compile_options(quorvane_spng PRIVATE -O2 -w)
endif()
