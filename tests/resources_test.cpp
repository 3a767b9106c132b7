// The embedded resources and the PNG loader.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "platform/gdiplus.h"
#include "platform/window.h"
#include "res/png_resource.h"
#include "res/resource.h"
#include "tests/support/test_windows.h"

namespace {

const WORD kChinese = MAKELANGID(LANG_CHINESE, SUBLANG_CHINESE_SIMPLIFIED);
const UINT kUndecodable = 900;  // a "PNG" resource of the test executable holding plain text

TEST(LoadPngResource, EveryCatalogueImageHasItsSize) {
    struct Case {
        UINT id;
        UINT width, height;
    };
    const Case kImages[] = {
        {IDP_MIN, 50, 50},        {IDP_MIN_COPY, 50, 50},
        {IDP_MIN_HOVER, 50, 50},  {IDP_CLOSE, 50, 50},
        {IDP_CLOSE_COPY, 50, 50}, {IDP_CLOSE_HOVER, 50, 50},
        {IDP_HOME, 120, 50},      {IDP_HOME_HOVER, 120, 50},
        {IDP_DEPOSIT, 120, 50},   {IDP_DEPOSIT_HOVER, 120, 50},
        {IDP_SERVICE, 120, 50},   {IDP_SERVICE_HOVER, 120, 50},
        {IDP_FORUM, 120, 50},     {IDP_FORUM_HOVER, 120, 50},
        {IDP_SKIN, 1152, 889},
    };
    for (const Case& c : kImages) {
        SCOPED_TRACE(testing::Message() << "PNG " << c.id);
        platform::Image image;
        EXPECT_TRUE(LoadPngResource(c.id, image));
        ASSERT_FALSE(image.empty());
        EXPECT_EQ(image.Width(), c.width);
        EXPECT_EQ(image.Height(), c.height);
    }
}

TEST(LoadPngResource, MissingIdReturnsFalseAndLeavesTheImageAlone) {
    platform::Image image;
    ASSERT_TRUE(LoadPngResource(IDP_MIN, image));
    Gdiplus::GpImage* before = image.get();
    // 147 and 148 are not in the catalogue; 150 is a dialog template, not a "PNG".
    for (UINT id : {147u, 148u, 150u, 0u}) {
        SCOPED_TRACE(testing::Message() << "id " << id);
        EXPECT_FALSE(LoadPngResource(id, image));
        EXPECT_EQ(image.get(), before);
    }
}

TEST(LoadPngResource, OnlyTheLowSixteenBitsOfTheIdCount) {
    platform::Image image;
    EXPECT_TRUE(LoadPngResource(0x10000u | IDP_SKIN, image));
    EXPECT_EQ(image.Width(), 1152u);
}

TEST(LoadPngResource, UndecodableBytesStillCountAsLoaded) {
    platform::Image image;
    EXPECT_TRUE(LoadPngResource(kUndecodable, image));
    EXPECT_EQ(image.Width(), 0u);
    EXPECT_EQ(image.Height(), 0u);
}

TEST(LoadPngResource, ImageKeepsReadingItsOwnCopyLongAfterLoading) {
    // Two loads of the same id are independent objects; the first stays drawable after the second is
    // gone, and moving an image hands its bytes over with it.
    platform::Image first, second;
    ASSERT_TRUE(LoadPngResource(IDP_CLOSE, first));
    ASSERT_TRUE(LoadPngResource(IDP_CLOSE, second));
    EXPECT_NE(first.get(), second.get());
    second.Reset();
    platform::Image moved(std::move(first));
    EXPECT_TRUE(first.empty());
    const std::vector<uint32_t> pixels = testsupport::StraightArgb(moved);
    ASSERT_EQ(pixels.size(), 2500u);
    EXPECT_EQ(pixels[25 * 50 + 25] >> 24, 0xFFu) << "button images are opaque";
}

TEST(Skin, OutlineComesFromTransparentEdgesAndSolidUnderTheFloatingWindows) {
    platform::Image skin;
    ASSERT_TRUE(LoadPngResource(IDP_SKIN, skin));
    const std::vector<uint32_t> pixels = testsupport::StraightArgb(skin);
    auto alpha = [&](int x, int y) { return pixels[y * 1152 + x] >> 24; };
    const POINT kTransparent[] = {{0, 0}, {1151, 0}, {0, 888}, {1151, 888}, {576, 0}, {576, 888}};
    for (const POINT& p : kTransparent) {
        SCOPED_TRACE(testing::Message() << "pixel " << p.x << "," << p.y);
        EXPECT_EQ(alpha(p.x, p.y), 0u);
    }
    // The login pane and the six buttons cover solid skin.
    const RECT kSolid[] = {{543, 208, 948, 699}, {1008, 229, 1058, 279}, {958, 188, 1008, 238},
                           {383, 153, 503, 203}, {531, 153, 651, 203},   {827, 153, 947, 203},
                           {679, 153, 799, 203}};
    for (const RECT& r : kSolid) {
        SCOPED_TRACE(testing::Message() << "area at " << r.left << "," << r.top);
        UINT lowest = 255;
        for (LONG y = r.top; y < r.bottom; ++y)
            for (LONG x = r.left; x < r.right; ++x) lowest = std::min<UINT>(lowest, alpha(x, y));
        EXPECT_GE(lowest, 237u);
    }
}

TEST(Catalogue, IconGroupHoldsSixUncompressedThirtyTwoBitImages) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC group = FindResourceExW(module, RT_GROUP_ICON, MAKEINTRESOURCEW(IDI_MAIN), kChinese);
    ASSERT_NE(group, nullptr);
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, group)));
    WORD count;
    std::memcpy(&count, bytes + 4, 2);
    ASSERT_EQ(count, 6);
    const int kSizes[] = {16, 32, 48, 64, 128, 256};
    for (int i = 0; i < 6; ++i) {
        SCOPED_TRACE(testing::Message() << "icon image " << i + 1);
        const BYTE* entry = bytes + 6 + i * 14;  // width, height, colours, reserved, planes, bpp, size, id
        EXPECT_EQ(entry[0] == 0 ? 256 : entry[0], kSizes[i]);
        WORD bitCount, id;
        std::memcpy(&bitCount, entry + 6, 2);
        std::memcpy(&id, entry + 12, 2);
        EXPECT_EQ(bitCount, 32);
        HRSRC image = FindResourceExW(module, RT_ICON, MAKEINTRESOURCEW(id), kChinese);
        ASSERT_NE(image, nullptr);
        const BYTE* header = static_cast<const BYTE*>(LockResource(LoadResource(module, image)));
        BITMAPINFOHEADER info;
        std::memcpy(&info, header, sizeof(info));
        EXPECT_EQ(info.biSize, sizeof(BITMAPINFOHEADER)) << "a bitmap, not a PNG";
        EXPECT_EQ(info.biWidth, kSizes[i]);
        EXPECT_EQ(info.biBitCount, 32);
        EXPECT_EQ(info.biCompression, static_cast<DWORD>(BI_RGB));
    }
}

struct TemplateHeader {
    DWORD style, exStyle;
    short cx, cy;
};

// Reads the header of a DIALOGEX template (or of a classic one, for 103).
TemplateHeader ReadTemplate(UINT id) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC found = FindResourceExW(module, RT_DIALOG, MAKEINTRESOURCEW(id), kChinese);
    if (!found) return {};
    const BYTE* bytes = static_cast<const BYTE*>(LockResource(LoadResource(module, found)));
    WORD version, signature;
    std::memcpy(&version, bytes, 2);
    std::memcpy(&signature, bytes + 2, 2);
    TemplateHeader header{};
    if (version == 1 && signature == 0xFFFF) {  // extended: helpId, exStyle, style, items, x, y, cx, cy
        std::memcpy(&header.exStyle, bytes + 8, 4);
        std::memcpy(&header.style, bytes + 12, 4);
        std::memcpy(&header.cx, bytes + 22, 2);
        std::memcpy(&header.cy, bytes + 24, 2);
    } else {  // classic: style, exStyle, items, x, y, cx, cy
        std::memcpy(&header.style, bytes, 4);
        std::memcpy(&header.exStyle, bytes + 4, 4);
        std::memcpy(&header.cx, bytes + 14, 2);
        std::memcpy(&header.cy, bytes + 16, 2);
    }
    return header;
}

TEST(Catalogue, DialogTemplatesHaveTheirStylesAndSizes) {
    struct Case {
        UINT id;
        DWORD style, exStyle;
        short cx, cy;
    };
    const Case kTemplates[] = {
        {IDD_LOGIN, 0x90000048, WS_EX_APPWINDOW, 67, 34},
        {IDD_LOGIN_PANE, 0x80080048, 0, 82, 73},
        {IDD_BUTTON_HOST, 0x80000068, 0, 74, 47},
        {IDD_GAME, 0x80CF0048, 0, 318, 185},
        {IDD_GAME_CLASS, 0x80CF0048, 0, 689, 410},
        {IDD_SPARE_PANE, 0x80080048, 0, 80, 39},
        {IDD_DIALOG, 0x80C800C0, 0, 320, 200},
    };
    for (const Case& c : kTemplates) {
        SCOPED_TRACE(testing::Message() << "template " << c.id);
        const TemplateHeader h = ReadTemplate(c.id);
        EXPECT_EQ(h.style, c.style);
        EXPECT_EQ(h.exStyle, c.exStyle);
        EXPECT_EQ(h.cx, c.cx);
        EXPECT_EQ(h.cy, c.cy);
    }
}

TEST(Catalogue, ManifestIsStoredUnderEnglishAndAsksForNoElevation) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC manifest = FindResourceExW(module, MAKEINTRESOURCEW(24), MAKEINTRESOURCEW(1),
                                     MAKELANGID(LANG_ENGLISH, SUBLANG_ENGLISH_US));
    ASSERT_NE(manifest, nullptr);
    std::string text(static_cast<const char*>(LockResource(LoadResource(module, manifest))),
                     SizeofResource(module, manifest));
    EXPECT_NE(text.find("level=\"asInvoker\""), std::string::npos);
    EXPECT_NE(text.find("Microsoft.Windows.Common-Controls"), std::string::npos);
    EXPECT_NE(text.find("<dpiAware"), std::string::npos);
}

TEST(Catalogue, VersionInformationNamesTheProduct) {
    HINSTANCE module = platform::ResourceModule();
    HRSRC found = FindResourceExW(module, RT_VERSION, MAKEINTRESOURCEW(1), kChinese);
    ASSERT_NE(found, nullptr);
    const DWORD size = SizeofResource(module, found);
    std::vector<BYTE> copy(size);
    std::memcpy(copy.data(), LockResource(LoadResource(module, found)), size);
    struct Case {
        const wchar_t* key;
        const wchar_t* value;
    };
    const Case kStrings[] = {{L"FileDescription", L"Quorvane\x5FAE\x7AEF"},
                             {L"FileVersion", L"1.0.0.1"},
                             {L"InternalName", L"Quorvane.exe"},
                             {L"OriginalFilename", L"Quorvane.exe"},
                             {L"ProductName", L"Quorvane"},
                             {L"ProductVersion", L"1.0.0.1"}};
    for (const Case& c : kStrings) {
        SCOPED_TRACE(testing::Message() << c.key);
        std::wstring path = std::wstring(L"\\StringFileInfo\\080404b0\\") + c.key;
        wchar_t* value = nullptr;
        UINT length = 0;
        ASSERT_TRUE(VerQueryValueW(copy.data(), path.c_str(), reinterpret_cast<void**>(&value), &length));
        EXPECT_STREQ(value, c.value);
    }
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    ASSERT_TRUE(VerQueryValueW(copy.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
    EXPECT_EQ(fixed->dwFileVersionMS, 0x00010000u);
    EXPECT_EQ(fixed->dwFileVersionLS, 0x00000001u);
    EXPECT_EQ(fixed->dwFileOS, static_cast<DWORD>(VOS_NT_WINDOWS32));
    EXPECT_EQ(fixed->dwFileType, static_cast<DWORD>(VFT_APP));
}

}  // namespace
