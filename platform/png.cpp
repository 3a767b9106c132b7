#include "platform/png.h"

#include <spng.h>

#include <new>

namespace platform {

namespace {

struct SpngFree {
    void operator()(spng_ctx* context) const { spng_ctx_free(context); }
};
using SpngContext = std::unique_ptr<spng_ctx, SpngFree>;

// Bounds on what a damaged or hostile file can make us allocate: the pixels, and the ancillary chunks
// (text, colour profile) the decoder keeps while it reads.
constexpr size_t kMaxPixelBytes = size_t{256} << 20;
constexpr size_t kMaxChunkBytes = size_t{16} << 20;

// libspng writes RGBA byte order; GDI+'s ARGB is BGRA in memory.
bool SwapRedAndBlue(uint32_t* pixels, size_t count) {
    bool opaque = true;
    for (size_t i = 0; i < count; ++i) {
        const uint32_t rgba = pixels[i];
        pixels[i] = (rgba & 0xFF00FF00u) | ((rgba & 0xFFu) << 16) | ((rgba >> 16) & 0xFFu);
        opaque = opaque && (rgba >> 24) == 0xFFu;
    }
    return opaque;
}

}  // namespace

Image DecodePng(const void* bytes, size_t size) {
    SpngContext context(spng_ctx_new(0));
    if (!context || spng_set_png_buffer(context.get(), bytes, size) != 0) return Image();
    spng_set_chunk_limits(context.get(), kMaxChunkBytes, kMaxChunkBytes);

    spng_ihdr header{};
    size_t decodedSize = 0;
    if (spng_get_ihdr(context.get(), &header) != 0 ||
        spng_decoded_image_size(context.get(), SPNG_FMT_RGBA8, &decodedSize) != 0 ||
        decodedSize > kMaxPixelBytes)
        return Image();
    const size_t count = size_t{header.width} * header.height;
    std::unique_ptr<uint32_t[]> pixels(new (std::nothrow) uint32_t[count]);
    if (!pixels ||
        spng_decode_image(context.get(), pixels.get(), decodedSize, SPNG_FMT_RGBA8, SPNG_DECODE_TRNS) != 0)
        return Image();
    const bool opaque = SwapRedAndBlue(pixels.get(), count);
    return Image(header.width, header.height, std::move(pixels), opaque);
}

}  // namespace platform
