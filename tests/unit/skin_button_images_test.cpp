// The skin button's images: transparency, greying, failures, and handles freed on every
// replacement.
#include <cstdio>

#include "tests/support/GuiObjects.h"
#include "tests/unit/skin_button_fixture.h"

namespace {
constexpr COLORREF kRed = RGB(255, 0, 0);
constexpr int kSide = 12;

// A white square with a red middle: white is the transparent colour.
HBITMAP MakeTargetBitmap() {
    HDC screen = ::GetDC(nullptr);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, kSide, kSide);
    {
        MemoryDC dc(screen);
        SelectedObject selected(dc.get(), bitmap);
        RECT all = {0, 0, kSide, kSide}, middle = {4, 4, 8, 8};
        ScopedBrush white(::CreateSolidBrush(kWhite)), red(::CreateSolidBrush(kRed));
        ::FillRect(dc.get(), &all, white.get());
        ::FillRect(dc.get(), &middle, red.get());
    }
    ::ReleaseDC(nullptr, screen);
    return bitmap;
}

COLORREF PixelOf(HBITMAP bitmap, int x, int y) {
    MemoryDC dc(nullptr);
    SelectedObject selected(dc.get(), bitmap);
    return ::GetPixel(dc.get(), x, y);
}

COLORREF ScreenPixel(HWND window, int x, int y) {
    HDC dc = ::GetDC(window);
    COLORREF color = ::GetPixel(dc, x, y);
    ::ReleaseDC(window, dc);
    return color;
}

bool IconIsAlive(HICON icon) {
    ICONINFO info = {};
    if (!::GetIconInfo(icon, &info)) return false;
    ::DeleteObject(info.hbmMask);
    ::DeleteObject(info.hbmColor);
    return true;
}

HICON MakeIcon(int side) {
    HDC screen = ::GetDC(nullptr);
    ScopedBitmap color(::CreateCompatibleBitmap(screen, side, side));
    ::ReleaseDC(nullptr, screen);
    ScopedBitmap mask(::CreateBitmap(side, side, 1, 1, nullptr));
    ICONINFO info = {TRUE, 0, 0, mask.get(), color.get()};
    return ::CreateIconIndirect(&info);
}
}  // namespace

TEST(SkinImageMask, TransparentPixelsBecomeOnesAndTurnBlack) {
    ScopedBitmap bitmap(MakeTargetBitmap());
    ScopedBitmap mask(BuildTransparencyMask(bitmap.get(), kSide, kSide, kWhite));
    ASSERT_TRUE(mask);
    EXPECT_EQ(PixelOf(mask.get(), 0, 0), kWhite);
    EXPECT_EQ(PixelOf(mask.get(), 5, 5), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(bitmap.get(), 0, 0), RGB(0, 0, 0));
    EXPECT_EQ(PixelOf(bitmap.get(), 5, 5), kRed);
    EXPECT_EQ(BuildTransparencyMask(nullptr, kSide, kSide, kWhite), nullptr);
}

TEST_F(SkinButtonTest, TransparentPartsShowTheButtonFace) {
    CSkinButton& button = Button(kPageInformation);
    button.SetWindowText("");
    ASSERT_EQ(button.SetBitmapImages(MakeTargetBitmap(), kWhite, nullptr, kWhite), 0u);
    DrawNow(button);
    RECT image = button.LastDrawnImageRect();
    ASSERT_EQ(image.right - image.left, kSide);
    EXPECT_EQ(ScreenPixel(button, image.left + 5, image.top + 5), kRed);
    EXPECT_EQ(ScreenPixel(button, image.left, image.top), ::GetSysColor(COLOR_BTNFACE));

    button.EnableWindow(FALSE);
    DrawNow(button);
    EXPECT_NE(ScreenPixel(button, image.left + 5, image.top + 5), kRed);
}

TEST_F(SkinButtonTest, AnIconIsLaidOutAtTwiceItsHotSpot) {
    CSkinButton& button = Button(kPagePlugkit);
    button.SetWindowText("");
    ASSERT_EQ(button.SetIconImages(MakeIcon(32), nullptr), 0u);
    DrawNow(button);
    RECT image = button.LastDrawnImageRect();
    RECT client;
    ::GetClientRect(button, &client);
    EXPECT_EQ(image.right - image.left, 32);
    EXPECT_EQ(image.bottom - image.top, 32);
    EXPECT_EQ(image.left, (client.right - 32) / 2);
    EXPECT_EQ(image.top, (client.bottom - 32) / 2);
}

TEST_F(SkinButtonTest, FailedImagesLeaveTheCaptionAlone) {
    CSkinButton& button = Button(kPageTaskwatch);
    EXPECT_EQ(button.LoadBitmapImages(9999, kWhite, IDB_PAGE_TASKWATCH, kWhite), 1u);
    DrawNow(button);
    EXPECT_EQ(button.LastDrawnImage(), -1);

    HICON plain = MakeIcon(16);
    EXPECT_EQ(button.SetIconImages(nullptr, plain), 1u);
    EXPECT_FALSE(IconIsAlive(plain));

    ASSERT_EQ(button.LoadBitmapImages(IDB_PAGE_TASKWATCH_HOT, kWhite, 0, kWhite), 0u);
    DrawNow(button);
    RECT before = button.LastDrawnImageRect();
    EXPECT_EQ(button.SetImageAlignment(3, TRUE), 4u);
    DrawNow(button);
    RECT after = button.LastDrawnImageRect();
    EXPECT_EQ(after.left, before.left);
    EXPECT_EQ(after.top, before.top);
}

TEST_F(SkinButtonTest, ReplacedImagesAreFreed) {
    CSkinButton& button = Button(kPageQuarantine);
    HICON first = MakeIcon(32), second = MakeIcon(32);
    button.SetIconImages(first, second);
    button.LoadBitmapImages(IDB_PAGE_QUARANTINE_HOT, kWhite, IDB_PAGE_QUARANTINE, kWhite);
    EXPECT_FALSE(IconIsAlive(first));
    EXPECT_FALSE(IconIsAlive(second));
    // The same handle for both images is owned once.
    HICON both = MakeIcon(32);
    EXPECT_EQ(button.SetIconImages(both, both), 0u);
    button.LoadBitmapImages(IDB_PAGE_QUARANTINE_HOT, kWhite, 0, kWhite);
    EXPECT_FALSE(IconIsAlive(both));
}

TEST_F(SkinButtonTest, ReplacingImagesAThousandTimesLeaksNothing) {
    CSkinButton& button = Button(kPageRepairSystem);
    auto replaceAll = [&](int times) {
        for (int round = 0; round < times; ++round) {
            button.LoadIconImages(IDI_HELP_BOOK, IDI_APP);
            DrawNow(button);
            button.LoadBitmapImages(IDB_PAGE_REPAIR_HOT, kWhite, IDB_PAGE_REPAIR, kWhite);
            DrawNow(button);
            button.LoadHoverCursor(IDC_HAND_CURSOR, TRUE);
            button.SetTipText(round % 2 ? "odd" : "even", TRUE);
        }
        PumpMessages();
    };
    replaceAll(5);
    GuiObjectCounts before = CountOwnGuiObjects();
    replaceAll(1000);
    GuiObjectCounts after = CountOwnGuiObjects();
    std::printf("GDI objects %ld -> %ld, USER objects %ld -> %ld (%s)\n", before.gdi, after.gdi,
                before.user, after.user, after.source.c_str());
    EXPECT_GT(before.gdi, 0);
    EXPECT_EQ(after.gdi, before.gdi);
    EXPECT_EQ(after.user, before.user);
}
