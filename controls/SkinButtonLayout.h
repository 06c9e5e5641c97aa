#pragma once
// Where a skin button puts its image and caption, and which image it shows: plain
// arithmetic, kept apart from the window so that it can be checked directly.
#include <windows.h>

enum SkinImageAlignment : BYTE {
    kImageLeftOfCaption = 0,
    kImageAboveCaption = 1,
    kImageRightOfCaption = 2,
};
enum SkinAlignmentResult : DWORD {
    kSkinAlignmentSet = 0,
    kSkinAlignmentRefused = 4,
};
enum SkinCursorResult : DWORD {
    kSkinCursorSet = 0,
    kSkinCursorNotLoaded = 1,
};
constexpr int kImageMargin = 3;

struct SkinButtonLayout {
    RECT image;
    RECT caption;
};

bool IsValidImageAlignment(BYTE alignment);

// Places an image of `width` x `height` in `item`; `caption` is the caption's rectangle so
// far, shrunk here to leave room for the image.
SkinButtonLayout PlaceImage(BYTE alignment, bool hasCaption, const RECT& item, const RECT& caption,
                            bool pressed, int width, int height);

// A pressed button draws its content one pixel right and down.
RECT PressedOffset(RECT rect, bool pressed);

// `measured` moved so that it is centred in `area` (halves rounded toward zero).
RECT CentreRect(const RECT& area, const RECT& measured);

// An icon's drawing size: twice its hot spot.
SIZE IconSizeFromHotSpot(DWORD xHotspot, DWORD yHotspot);

// 0, the hover image, while hovered or pressed or when there is no plain image; else 1.
int ChooseImageEntry(bool pressed, bool hovered, bool hasPlainImage);

// BM_SETSTYLE: the style actually passed on, whatever button type was asked for.
WPARAM OwnerDrawnStyle(WPARAM requestedStyle);
// A style asking for the default push button makes the button the default, a plain push
// button makes it not the default; other styles leave it as it is (-1).
int DefaultStateForStyle(WPARAM requestedStyle);
