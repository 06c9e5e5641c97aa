#include "controls/SkinButtonLayout.h"

namespace {
int Width(const RECT& r) { return r.right - r.left; }
int Height(const RECT& r) { return r.bottom - r.top; }

void CentreHorizontally(RECT& image, int width) { image.left += (Width(image) - width) / 2; }
void CentreVertically(RECT& image, int height) { image.top += (Height(image) - height) / 2; }

constexpr WPARAM kTypeBitsCleared = 0x14;
}  // namespace

bool IsValidImageAlignment(BYTE alignment) { return alignment <= kImageRightOfCaption; }

SkinButtonLayout PlaceImage(BYTE alignment, bool hasCaption, const RECT& item, const RECT& caption,
                            bool pressed, int width, int height) {
    SkinButtonLayout layout = {item, caption};
    RECT& image = layout.image;
    if (!hasCaption) {
        // Without a caption every alignment centres the image in the whole button.
        CentreHorizontally(image, width);
        CentreVertically(image, height);
    } else if (alignment == kImageAboveCaption) {
        CentreHorizontally(image, width);
        image.top = item.top + kImageMargin;
        layout.caption.top += height;
    } else if (alignment == kImageRightOfCaption) {
        layout.caption.left = kImageMargin;
        layout.caption.right = Width(caption) - width - kImageMargin;
        image.left = item.right - width - kImageMargin;
        CentreVertically(image, height);
    } else {
        image.left = item.left + kImageMargin;
        layout.caption.left += width + kImageMargin;
        CentreVertically(image, height);
    }
    image.right = image.left + width;
    image.bottom = image.top + height;
    image = PressedOffset(image, pressed);
    return layout;
}

RECT PressedOffset(RECT rect, bool pressed) {
    if (pressed) ::OffsetRect(&rect, 1, 1);
    return rect;
}

RECT CentreRect(const RECT& area, const RECT& measured) {
    RECT centred;
    centred.left = area.left + (Width(area) - Width(measured)) / 2;
    centred.top = area.top + (Height(area) - Height(measured)) / 2;
    centred.right = centred.left + Width(measured);
    centred.bottom = centred.top + Height(measured);
    return centred;
}

SIZE IconSizeFromHotSpot(DWORD xHotspot, DWORD yHotspot) {
    return {static_cast<LONG>(xHotspot * 2), static_cast<LONG>(yHotspot * 2)};
}

int ChooseImageEntry(bool pressed, bool hovered, bool hasPlainImage) {
    return (pressed || hovered || !hasPlainImage) ? 0 : 1;
}

WPARAM OwnerDrawnStyle(WPARAM requestedStyle) {
    return (requestedStyle & ~kTypeBitsCleared) | BS_OWNERDRAW;
}

int DefaultStateForStyle(WPARAM requestedStyle) {
    switch (requestedStyle & BS_TYPEMASK) {
        case BS_DEFPUSHBUTTON:
            return 1;
        case BS_PUSHBUTTON:
            return 0;
        default:
            return -1;
    }
}
