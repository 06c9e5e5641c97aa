// Where the skin button puts image and caption, and which image it shows.
#include <gtest/gtest.h>

#include "controls/SkinButtonLayout.h"

namespace {
// A page button: 78 x 70 pixels with a 32 x 32 image.
constexpr RECT kItem = {0, 0, 78, 70};
constexpr int kImage = 32;

bool Equal(const RECT& a, const RECT& b) {
    return a.left == b.left && a.top == b.top && a.right == b.right && a.bottom == b.bottom;
}

testing::AssertionResult RectIs(const RECT& actual, LONG left, LONG top, LONG right, LONG bottom) {
    RECT expected = {left, top, right, bottom};
    if (Equal(actual, expected)) return testing::AssertionSuccess();
    return testing::AssertionFailure()
           << "{" << actual.left << "," << actual.top << "," << actual.right << "," << actual.bottom
           << "} instead of {" << left << "," << top << "," << right << "," << bottom << "}";
}

SkinButtonLayout Place(BYTE alignment, bool hasCaption, bool pressed = false, int width = kImage,
                       int height = kImage) {
    return PlaceImage(alignment, hasCaption, kItem, kItem, pressed, width, height);
}
}  // namespace

TEST(SkinButtonLayout, ImageLeftOfTheCaption) {
    SkinButtonLayout layout = Place(kImageLeftOfCaption, true);
    EXPECT_TRUE(RectIs(layout.image, 3, 19, 35, 51));
    EXPECT_TRUE(RectIs(layout.caption, 35, 0, 78, 70));
}

TEST(SkinButtonLayout, ImageAboveTheCaption) {
    SkinButtonLayout layout = Place(kImageAboveCaption, true);
    EXPECT_TRUE(RectIs(layout.image, 23, 3, 55, 35));
    EXPECT_TRUE(RectIs(layout.caption, 0, 32, 78, 70));
}

TEST(SkinButtonLayout, ImageRightOfTheCaption) {
    SkinButtonLayout layout = Place(kImageRightOfCaption, true);
    EXPECT_TRUE(RectIs(layout.image, 43, 19, 75, 51));
    EXPECT_TRUE(RectIs(layout.caption, 3, 0, 43, 70));
}

TEST(SkinButtonLayout, WithoutCaptionEveryAlignmentCentresTheImage) {
    for (BYTE alignment : {kImageLeftOfCaption, kImageAboveCaption, kImageRightOfCaption}) {
        SkinButtonLayout layout = Place(alignment, false);
        EXPECT_TRUE(RectIs(layout.image, 23, 19, 55, 51)) << "alignment " << int{alignment};
        EXPECT_TRUE(Equal(layout.caption, kItem));
    }
}

TEST(SkinButtonLayout, CentringRoundsHalvesTowardZero) {
    // 78 - 33 = 45 and 70 - 33 = 37: the image sits 22 and 18 pixels in.
    SkinButtonLayout layout = Place(kImageAboveCaption, false, false, 33, 33);
    EXPECT_TRUE(RectIs(layout.image, 22, 18, 55, 51));
    // An image wider than the button hangs over both sides alike.
    layout = Place(kImageAboveCaption, false, false, 81, 10);
    EXPECT_TRUE(RectIs(layout.image, -1, 30, 80, 40));
}

TEST(SkinButtonLayout, PressedMovesTheImageOnePixelRightAndDown) {
    for (BYTE alignment : {kImageLeftOfCaption, kImageAboveCaption, kImageRightOfCaption}) {
        for (bool hasCaption : {true, false}) {
            RECT plain = Place(alignment, hasCaption, false).image;
            RECT pressed = Place(alignment, hasCaption, true).image;
            ::OffsetRect(&plain, 1, 1);
            EXPECT_TRUE(Equal(pressed, plain)) << "alignment " << int{alignment};
        }
    }
    EXPECT_TRUE(RectIs(PressedOffset({0, 32, 78, 70}, true), 1, 33, 79, 71));
    EXPECT_TRUE(RectIs(PressedOffset({0, 32, 78, 70}, false), 0, 32, 78, 70));
}

TEST(SkinButtonLayout, CaptionIsCentredInWhatTheImageLeaves) {
    RECT area = {0, 32, 78, 70};
    RECT measured = {0, 32, 50, 45};
    EXPECT_TRUE(RectIs(CentreRect(area, measured), 14, 44, 64, 57));
    // Text wider than the area (a long word) overhangs evenly.
    EXPECT_TRUE(RectIs(CentreRect({10, 0, 20, 10}, {10, 0, 31, 10}), 5, 0, 26, 10));
}

TEST(SkinButtonLayout, IconSizeIsTwiceTheHotSpot) {
    SIZE size = IconSizeFromHotSpot(16, 16);
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 32);
    size = IconSizeFromHotSpot(8, 12);
    EXPECT_EQ(size.cx, 16);
    EXPECT_EQ(size.cy, 24);
}

TEST(SkinButtonLayout, HoverImageWhileHoveredOrPressedOrAlone) {
    EXPECT_EQ(ChooseImageEntry(false, false, true), 1);
    EXPECT_EQ(ChooseImageEntry(false, true, true), 0);
    EXPECT_EQ(ChooseImageEntry(true, false, true), 0);
    EXPECT_EQ(ChooseImageEntry(true, true, true), 0);
    EXPECT_EQ(ChooseImageEntry(false, false, false), 0);
}

TEST(SkinButtonLayout, OnlyAlignmentsUpToTwoAreValid) {
    EXPECT_TRUE(IsValidImageAlignment(0));
    EXPECT_TRUE(IsValidImageAlignment(2));
    EXPECT_FALSE(IsValidImageAlignment(3));
    EXPECT_FALSE(IsValidImageAlignment(255));
}

TEST(SkinButtonLayout, EveryRequestedStyleStaysOwnerDrawn) {
    for (WPARAM type = 0; type <= BS_TYPEMASK; ++type) {
        WPARAM style = WS_TABSTOP | BS_NOTIFY | type;
        WPARAM passed = OwnerDrawnStyle(style);
        EXPECT_EQ(passed & BS_TYPEMASK, static_cast<WPARAM>(BS_OWNERDRAW)) << "type " << type;
        EXPECT_EQ(passed & ~static_cast<WPARAM>(0x1F), style & ~static_cast<WPARAM>(0x1F));
    }
    EXPECT_EQ(DefaultStateForStyle(BS_DEFPUSHBUTTON), 1);
    EXPECT_EQ(DefaultStateForStyle(BS_PUSHBUTTON), 0);
    EXPECT_EQ(DefaultStateForStyle(BS_CHECKBOX), -1);
    EXPECT_EQ(DefaultStateForStyle(BS_OWNERDRAW), -1);
}
