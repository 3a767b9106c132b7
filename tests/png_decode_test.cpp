// PNGs decoded in our own process: the same pixels GDI+ would give, no system codec loaded, and the
// loader's results for bytes that do not decode and for ids that are not there.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "platform/gdiplus.h"
#include "platform/layered.h"
#include "platform/png.h"
#include "platform/window.h"
#include "res/png_resource.h"
#include "res/resource.h"
#include "tests/support/gdiplus_png.h"
#include "tests/support/test_windows.h"

namespace {

const UINT kCataloguePngs[] = {IDP_MIN,        IDP_MIN_COPY,      IDP_MIN_HOVER, IDP_CLOSE,
                               IDP_CLOSE_COPY, IDP_CLOSE_HOVER,   IDP_HOME,      IDP_HOME_HOVER,
                               IDP_DEPOSIT,    IDP_DEPOSIT_HOVER, IDP_SERVICE,   IDP_SERVICE_HOVER,
                               IDP_FORUM,      IDP_FORUM_HOVER,   IDP_SKIN};
const UINT kUndecodable = 900;  // a "PNG" resource of the test executable holding plain text

// Wine's GDI+ decodes through the imaging component; nothing else of ours loads it.
bool ImageCodecsLoaded() { return GetModuleHandleW(L"windowscodecs.dll") != nullptr; }

std::string ResourceBytes(UINT id) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(id), L"PNG");
    if (!resource) return {};
    return std::string(static_cast<const char*>(LockResource(LoadResource(module, resource))),
                       SizeofResource(module, resource));
}

// Draws the image both ways the program does onto a transparent canvas and returns what it holds.
std::vector<uint32_t> DrawnOnCanvas(const platform::Image& image, int width, int height) {
    platform::WindowDc screen(nullptr);
    platform::LayeredCanvas canvas(screen.get(), width, height);
    {
        platform::Graphics graphics(canvas.dc());
        graphics.DrawNatural(image);
        graphics.DrawStretched(image, width, height);
    }
    return std::vector<uint32_t>(canvas.pixels(), canvas.pixels() + size_t{1} * width * height);
}

// How many pixels differ, and where the first one is, for a failure message that says something.
testing::AssertionResult SamePixels(const std::vector<uint32_t>& want, const std::vector<uint32_t>& got,
                                    UINT width) {
    if (want.size() != got.size())
        return testing::AssertionFailure() << "sizes " << want.size() << " and " << got.size();
    size_t differing = 0, first = 0;
    for (size_t i = want.size(); i-- > 0;)
        if (want[i] != got[i]) ++differing, first = i;
    if (differing == 0) return testing::AssertionSuccess();
    char pixels[64];
    std::snprintf(pixels, sizeof(pixels), "GDI+ 0x%08X, ours 0x%08X", static_cast<unsigned>(want[first]),
                  static_cast<unsigned>(got[first]));
    return testing::AssertionFailure() << differing << " pixels differ; first at " << first % width << ","
                                       << first / width << ": " << pixels;
}

// First in this file, so that a run of the whole program meets it before anything decodes through GDI+.
TEST(InProcessPng, DecodingAndDrawingLoadNoImageCodec) {
    if (ImageCodecsLoaded()) GTEST_SKIP() << "an earlier test in this process decoded through GDI+";
    for (UINT id : kCataloguePngs) {
        SCOPED_TRACE(testing::Message() << "PNG " << id);
        platform::Image image;
        ASSERT_TRUE(LoadPngResource(id, image));
        std::vector<uint32_t> premultiplied(size_t{image.Width()} * image.Height());
        EXPECT_TRUE(image.CopyPremultiplied(premultiplied.data(), image.Width(), image.Height()));
        DrawnOnCanvas(image, 60, 60);
    }
    EXPECT_FALSE(ImageCodecsLoaded());
    // The probe does see GDI+'s own decoding.
    testsupport::GdiplusPng reference(IDP_MIN);
    ASSERT_NE(reference.get(), nullptr);
    EXPECT_TRUE(ImageCodecsLoaded());
}

TEST(InProcessPng, EveryCataloguePngHasTheGdiplusPixels) {
    for (UINT id : kCataloguePngs) {
        SCOPED_TRACE(testing::Message() << "PNG " << id);
        const testsupport::GdiplusPng reference(id);
        platform::Image ours;
        ASSERT_TRUE(LoadPngResource(id, ours));
        ASSERT_NE(reference.Width(), 0u);
        ASSERT_EQ(ours.Width(), reference.Width());
        ASSERT_EQ(ours.Height(), reference.Height());
        const UINT width = ours.Width(), height = ours.Height();
        for (Gdiplus::PixelFormat format : {PixelFormat32bppARGB, PixelFormat32bppPARGB}) {
            SCOPED_TRACE(format == PixelFormat32bppARGB ? "straight ARGB" : "premultiplied ARGB");
            std::vector<uint32_t> got(size_t{width} * height);
            ASSERT_TRUE(ours.CopyPixels(got.data(), width, height, format));
            EXPECT_TRUE(SamePixels(reference.Pixels(format), got, width));
        }
    }
}

TEST(InProcessPng, DrawingShowsWhatGdiplusShows) {
    // Button images are drawn unscaled at the origin, the skin stretched onto its window's size.
    for (UINT id : {IDP_CLOSE, IDP_HOME_HOVER, IDP_SKIN}) {
        SCOPED_TRACE(testing::Message() << "PNG " << id);
        const testsupport::GdiplusPng reference(id);
        platform::Image ours;
        ASSERT_TRUE(LoadPngResource(id, ours));
        const UINT width = ours.Width(), height = ours.Height();
        std::vector<uint32_t> want;
        {
            platform::WindowDc screen(nullptr);
            platform::LayeredCanvas canvas(screen.get(), width, height);
            platform::Graphics graphics(canvas.dc());
            platform::gp::GdipDrawImageRectI(graphics.get(), reference.get(), 0, 0, width, height);
            const Gdiplus::Point corners[3] = {
                {0, 0}, {static_cast<INT>(width), 0}, {0, static_cast<INT>(height)}};
            platform::gp::GdipDrawImagePointsI(graphics.get(), reference.get(), corners, 3);
            platform::gp::GdipFlush(graphics.get(), Gdiplus::FlushIntentionSync);
            want.assign(canvas.pixels(), canvas.pixels() + size_t{width} * height);
        }
        EXPECT_TRUE(SamePixels(want, DrawnOnCanvas(ours, width, height), width));
    }
}

// The standard CRC of PNG chunks, for hand-made headers.
uint32_t Crc32(const std::string& bytes) {
    uint32_t crc = 0xFFFFFFFFu;
    for (unsigned char c : bytes) {
        crc ^= c;
        for (int k = 0; k < 8; ++k) crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

std::string BigEndian(uint32_t value) {
    return {static_cast<char>(value >> 24), static_cast<char>(value >> 16), static_cast<char>(value >> 8),
            static_cast<char>(value)};
}

// The skin's signature and header chunk with another size, its CRC right: the rest of the file follows.
std::string SkinClaimingSize(uint32_t width, uint32_t height) {
    std::string skin = ResourceBytes(IDP_SKIN);
    std::string chunk = "IHDR" + BigEndian(width) + BigEndian(height) + skin.substr(24, 5);
    return skin.substr(0, 12) + chunk + BigEndian(Crc32(chunk)) + skin.substr(33);
}

std::string WithFlippedByte(std::string bytes, size_t at) {
    bytes[at] = static_cast<char>(bytes[at] ^ 0x5A);
    return bytes;
}

TEST(InProcessPng, BytesThatDoNotDecodeGiveAnImageWithoutPicture) {
    const std::string skin = ResourceBytes(IDP_SKIN);
    ASSERT_GT(skin.size(), 1000u);
    const size_t imageData = skin.find("IDAT");
    ASSERT_NE(imageData, std::string::npos);
    struct Case {
        const char* what;
        std::string bytes;
    };
    const Case kCases[] = {
        {"nothing", ""},
        {"plain text", ResourceBytes(kUndecodable)},
        {"the signature alone", skin.substr(0, 8)},
        {"the header alone", skin.substr(0, 33)},
        {"half the file", skin.substr(0, skin.size() / 2)},
        {"a damaged image data chunk", WithFlippedByte(skin, imageData + 200)},
        {"a damaged header chunk", WithFlippedByte(skin, 18)},
        {"a header claiming 100000 x 100000 pixels", SkinClaimingSize(100000, 100000)},
        {"a header claiming no width", SkinClaimingSize(0, 889)},
    };
    for (const Case& c : kCases) {
        SCOPED_TRACE(c.what);
        const platform::Image image = platform::DecodePng(c.bytes.data(), c.bytes.size());
        EXPECT_TRUE(image.empty());
        EXPECT_EQ(image.Width(), 0u);
        EXPECT_EQ(image.Height(), 0u);
        EXPECT_EQ(DrawnOnCanvas(image, 40, 40), std::vector<uint32_t>(1600, 0u)) << "draws nothing";
    }
}

TEST(InProcessPng, UndecodableResourceCountsAsLoadedAndReplacesThePicture) {
    platform::Image image;
    ASSERT_TRUE(LoadPngResource(IDP_CLOSE, image));
    EXPECT_TRUE(LoadPngResource(kUndecodable, image));
    EXPECT_TRUE(image.empty());
    EXPECT_EQ(image.Width(), 0u);
    EXPECT_EQ(DrawnOnCanvas(image, 50, 50), std::vector<uint32_t>(2500, 0u));
}

TEST(InProcessPng, MissingIdLeavesTheDecodedPictureAsItWas) {
    platform::Image image;
    ASSERT_TRUE(LoadPngResource(IDP_FORUM, image));
    const std::vector<uint32_t> before = testsupport::StraightArgb(image);
    Gdiplus::GpImage* bitmap = image.get();
    for (UINT id : {147u, 148u, 150u, 0u, 0xFFFFu}) {
        SCOPED_TRACE(testing::Message() << "id " << id);
        EXPECT_FALSE(LoadPngResource(id, image));
        EXPECT_EQ(image.get(), bitmap);
        EXPECT_EQ(image.Width(), 120u);
        EXPECT_TRUE(SamePixels(before, testsupport::StraightArgb(image), 120));
    }
}

}  // namespace
