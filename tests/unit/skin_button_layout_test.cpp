// Where the skin button puts image and caption on a 78 x 70 page button with a 32 x 32 image.
#include <gtest/gtest.h>

#include <string>

#include "controls/SkinButtonLayout.h"

namespace {
std::string Text(const RECT& r) {
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
           "," + std::to_string(r.bottom);
}
}  // namespace

TEST(SkinButtonLayout, EveryAlignmentWithAndWithoutCaptionPlainAndPressed) {
    constexpr RECT kItem = {0, 0, 78, 70};
    struct Case {
        BYTE alignment;
        bool hasCaption;
        RECT image;
        RECT caption;
    };
    const Case cases[] = {
        {kImageLeftOfCaption, true, {3, 19, 35, 51}, {35, 0, 78, 70}},
        {kImageAboveCaption, true, {23, 3, 55, 35}, {0, 32, 78, 70}},
        {kImageRightOfCaption, true, {43, 19, 75, 51}, {3, 0, 43, 70}},
        {kImageLeftOfCaption, false, {23, 19, 55, 51}, kItem},
        {kImageAboveCaption, false, {23, 19, 55, 51}, kItem},
        {kImageRightOfCaption, false, {23, 19, 55, 51}, kItem},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE("alignment " + std::to_string(c.alignment) + " caption " +
                     std::to_string(c.hasCaption));
        SkinButtonLayout plain = PlaceImage(c.alignment, c.hasCaption, kItem, kItem, false, 32, 32);
        EXPECT_EQ(Text(plain.image), Text(c.image));
        EXPECT_EQ(Text(plain.caption), Text(c.caption));
        // Pressed, the image moves one pixel right and down.
        RECT pressed = PlaceImage(c.alignment, c.hasCaption, kItem, kItem, true, 32, 32).image;
        RECT moved = c.image;
        ::OffsetRect(&moved, 1, 1);
        EXPECT_EQ(Text(pressed), Text(moved));
    }
}

TEST(SkinButtonLayout, AnIconIsDrawnAtTwiceItsHotSpot) {
    SIZE size = IconSizeFromHotSpot(16, 16);
    EXPECT_EQ(size.cx, 32);
    EXPECT_EQ(size.cy, 32);
}
