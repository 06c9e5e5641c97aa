// The program's images, cursor, sound and animations: present in the executable, loadable,
// and drawn the way the skin button shows them (white is transparent, edges suit grey faces).
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>

#include "tests/support/KoravantApp.h"
#include "tests/unit/resource_tables.h"

namespace {
HMODULE Self() { return ::GetModuleHandleA(nullptr); }

int Saturation(COLORREF c) {
    int hi = std::max({GetRValue(c), GetGValue(c), GetBValue(c)});
    int lo = std::min({GetRValue(c), GetGValue(c), GetBValue(c)});
    return hi - lo;
}

// Every id with the resource type it must have.
struct TypedResource {
    UINT id;
    const char* type;
};
std::vector<TypedResource> AllResources() {
    std::vector<TypedResource> all;
    for (UINT id : AllBitmaps()) all.push_back({id, MAKEINTRESOURCEA(2)});  // RT_BITMAP
    for (const IconSizes& icon : kIcons) all.push_back({icon.id, MAKEINTRESOURCEA(14)});
    all.push_back({IDC_HAND_CURSOR, MAKEINTRESOURCEA(12)});  // RT_GROUP_CURSOR
    all.push_back({IDR_ALERT_WAVE, "WAVE"});
    all.push_back({IDR_SCAN_AVI, "AVI"});
    all.push_back({IDR_CLEANUP_AVI, "AVI"});
    return all;
}

void ExpectLoads(HMODULE module, const std::string& where) {
    for (UINT id : AllBitmaps()) {
        ScopedBitmap bitmap(static_cast<HBITMAP>(
            ::LoadImageA(module, MAKEINTRESOURCEA(id), IMAGE_BITMAP, 0, 0, 0)));
        EXPECT_TRUE(bitmap) << where << ": bitmap " << id;
    }
    for (const IconSizes& icon : kIcons) {
        for (int size : icon.sizes) {
            ScopedIcon loaded(static_cast<HICON>(
                ::LoadImageA(module, MAKEINTRESOURCEA(icon.id), IMAGE_ICON, size, size, 0)));
            EXPECT_TRUE(loaded) << where << ": icon " << icon.id << " at " << size;
        }
    }
    ScopedCursor hand(static_cast<HCURSOR>(
        ::LoadImageA(module, MAKEINTRESOURCEA(IDC_HAND_CURSOR), IMAGE_CURSOR, 0, 0, 0)));
    EXPECT_TRUE(hand) << where << ": hand cursor";
}
}  // namespace

TEST(Resources, EveryImageSoundAndAnimationIsInTheTestProgram) {
    for (const TypedResource& r : AllResources())
        EXPECT_FALSE(ResourceBytes(Self(), r.id, r.type).empty()) << "resource " << r.id;
    ExpectLoads(Self(), "test program");
    EXPECT_NE(::LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_HAND_CURSOR)), nullptr);
    EXPECT_NE(::LoadIconA(Self(), MAKEINTRESOURCEA(IDI_TRAY)), nullptr);
}

TEST(Resources, KoravantExeCarriesTheSameResources) {
    std::string exe = BuildFolder() + "\\Koravant.exe";
    ScopedLibrary program(::LoadLibraryExA(exe.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE));
    ASSERT_TRUE(program) << exe << " could not be opened; build the Koravant target first";
    for (const TypedResource& r : AllResources()) {
        std::string mine = ResourceBytes(Self(), r.id, r.type);
        std::string theirs = ResourceBytes(program.get(), r.id, r.type);
        EXPECT_FALSE(theirs.empty()) << "Koravant.exe lacks resource " << r.id;
        EXPECT_EQ(theirs, mine) << "resource " << r.id << " differs from the test program's";
    }
    ExpectLoads(program.get(), "Koravant.exe");
}

TEST(ResourceBitmaps, AreTwentyFourBitWithTransparentCornersAndACentredGlyph) {
    for (UINT id : AllBitmaps()) {
        std::string bytes = ResourceBytes(Self(), id, MAKEINTRESOURCEA(2));
        ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER)) << id;
        BITMAPINFOHEADER header;
        std::memcpy(&header, bytes.data(), sizeof(header));
        EXPECT_EQ(header.biBitCount, 24) << "bitmap " << id;

        Pixels px = LoadBitmapPixels(Self(), id);
        ASSERT_GT(px.width, 0) << id;
        int w = px.width - 1, h = px.height - 1;
        EXPECT_TRUE(px.IsWhite(0, 0) && px.IsWhite(w, 0) && px.IsWhite(0, h) && px.IsWhite(w, h))
            << "bitmap " << id << " has an opaque corner";
        RECT box = {px.width, px.height, -1, -1};
        long glyph = 0;
        for (int y = 0; y < px.height; ++y) {
            for (int x = 0; x < px.width; ++x) {
                if (px.IsWhite(x, y)) continue;
                ++glyph;
                box = {std::min<LONG>(box.left, x), std::min<LONG>(box.top, y),
                       std::max<LONG>(box.right, x), std::max<LONG>(box.bottom, y)};
            }
        }
        EXPECT_GT(glyph * 4, static_cast<long>(px.rgb.size()))
            << "bitmap " << id << " is mostly empty";
        // The button centres the bitmap, so the glyph must sit in the middle of it to line
        // up with the caption below.
        EXPECT_LE(std::abs(static_cast<int>(box.left + box.right) - w), px.width / 6)
            << "bitmap " << id << " glyph is off centre horizontally";
        EXPECT_LE(std::abs(static_cast<int>(box.top + box.bottom) - h), px.height / 6)
            << "bitmap " << id << " glyph is off centre vertically";
    }
}

// The skin button draws a bitmap through a mask made of its pure white pixels, so an edge
// pixel that blended toward white would show as a light halo on the grey button face.
TEST(ResourceBitmaps, EdgesNextToTransparencyAreNotNearWhite) {
    for (UINT id : AllBitmaps()) {
        Pixels px = LoadBitmapPixels(Self(), id);
        int halos = 0;
        for (int y = 0; y < px.height; ++y) {
            for (int x = 0; x < px.width; ++x) {
                if (px.IsWhite(x, y)) continue;
                bool edge =
                    (x > 0 && px.IsWhite(x - 1, y)) || (x + 1 < px.width && px.IsWhite(x + 1, y)) ||
                    (y > 0 && px.IsWhite(x, y - 1)) || (y + 1 < px.height && px.IsWhite(x, y + 1));
                COLORREF c = px.At(x, y);
                if (edge && std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) > 240) ++halos;
            }
        }
        EXPECT_EQ(halos, 0) << "bitmap " << id << " has near-white edge pixels";
    }
}

TEST(ResourceBitmaps, PlainPageImagesAreTheHighlightedGlyphInCalmerColours) {
    for (const PageImages& page : kPageImages) {
        Pixels hot = LoadBitmapPixels(Self(), page.hot);
        Pixels plain = LoadBitmapPixels(Self(), page.plain);
        ASSERT_EQ(hot.width, plain.width) << page.page;
        ASSERT_EQ(hot.height, plain.height) << page.page;
        EXPECT_GE(hot.width, 28) << page.page;
        EXPECT_LE(hot.width, 40) << page.page;
        long hotColour = 0, plainColour = 0, outlineDiffers = 0;
        for (size_t i = 0; i < hot.rgb.size(); ++i) {
            outlineDiffers += (hot.rgb[i] == kWhite) != (plain.rgb[i] == kWhite);
            if (hot.rgb[i] == kWhite) continue;
            hotColour += Saturation(hot.rgb[i]);
            plainColour += Saturation(plain.rgb[i]);
        }
        // One outline for both, so the glyph does not move when the pointer enters.
        EXPECT_EQ(outlineDiffers, 0) << page.page;
        EXPECT_LT(plainColour * 2, hotColour) << page.page << " plain image is not calmer";
    }
}

TEST(ResourceIcons, HoldEverySizeTheyAreShownAtWithAlphaAndAMask) {
    for (const IconSizes& icon : kIcons) {
        // The skin button loads an icon at its own size and lays it out by its hot spot:
        // the help icon must come out at the standard 32 x 32.
        ScopedIcon own(static_cast<HICON>(
            ::LoadImageA(Self(), MAKEINTRESOURCEA(icon.id), IMAGE_ICON, 0, 0, LR_DEFAULTCOLOR)));
        ICONINFO info = {};
        ASSERT_TRUE(own && ::GetIconInfo(own.get(), &info)) << icon.id;
        ScopedBitmap mask(info.hbmMask), colour(info.hbmColor);
        EXPECT_EQ(info.xHotspot, 16u) << "icon " << icon.id << " at its own size";

        std::string group = ResourceBytes(Self(), icon.id, MAKEINTRESOURCEA(14));
        ASSERT_FALSE(group.empty()) << icon.id;
        for (int size : icon.sizes) {
            auto* dir = reinterpret_cast<PBYTE>(group.data());
            int image = ::LookupIconIdFromDirectoryEx(dir, TRUE, size, size, LR_DEFAULTCOLOR);
            std::string bytes = ResourceBytes(Self(), image, MAKEINTRESOURCEA(3));  // RT_ICON
            ASSERT_GE(bytes.size(), sizeof(BITMAPINFOHEADER)) << icon.id << " at " << size;
            BITMAPINFOHEADER header;
            std::memcpy(&header, bytes.data(), sizeof(header));
            EXPECT_EQ(header.biWidth, size) << "icon " << icon.id << " lacks its " << size;
            EXPECT_EQ(header.biBitCount, 32) << icon.id;
            // Colour rows then the AND mask: an icon without a mask draws as a square on
            // systems that ignore alpha.
            size_t colour = static_cast<size_t>(size) * size * 4;
            size_t mask = static_cast<size_t>((size + 31) / 32 * 4) * size;
            ASSERT_EQ(bytes.size(), sizeof(header) + colour + mask) << icon.id;
            auto maskBit = [&](int x, int y) {  // rows bottom-up
                size_t row = sizeof(header) + colour + (size - 1 - y) * ((size + 31) / 32 * 4);
                return (static_cast<unsigned char>(bytes[row + x / 8]) >> (7 - x % 8)) & 1;
            };
            EXPECT_EQ(maskBit(0, 0), 1) << "icon " << icon.id << " corner is not transparent";
            EXPECT_EQ(maskBit(size / 2, size / 2), 0) << "icon " << icon.id << " centre";
        }
    }
}

TEST(ResourceCursor, HandPointsWithItsFingertipHotSpot) {
    HCURSOR hand = ::LoadCursorA(Self(), MAKEINTRESOURCEA(IDC_HAND_CURSOR));
    ASSERT_NE(hand, nullptr);
    ICONINFO info = {};
    ASSERT_TRUE(::GetIconInfo(hand, &info));
    ScopedBitmap mask(info.hbmMask), colour(info.hbmColor);
    EXPECT_FALSE(info.fIcon);
    EXPECT_LE(info.yHotspot, 2u);
    Pixels and_mask = ReadPixels(mask.get());
    ASSERT_GE(and_mask.height, 32);
    // Black in the AND mask is drawn: the hot spot is on the hand, the corner is not.
    EXPECT_EQ(and_mask.At(info.xHotspot, info.yHotspot), RGB(0, 0, 0));
    EXPECT_EQ(and_mask.At(0, 0), kWhite);
    EXPECT_EQ(and_mask.At(31, 31), kWhite);
}
