#include "controls/SkinImages.h"

#include "controls/SkinButtonLayout.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

// Mask over the background, then the image ORed into the hole it leaves.
void BlitMasked(HDC target, int x, int y, int width, int height, HDC source, HBITMAP mask,
                HBITMAP image) {
    ::SetBkColor(target, kWhite);
    ::SetTextColor(target, kBlack);
    {
        SelectedObject selected(source, mask);
        ::BitBlt(target, x, y, width, height, source, 0, 0, SRCAND);
    }
    SelectedObject selected(source, image);
    ::BitBlt(target, x, y, width, height, source, 0, 0, SRCPAINT);
}
}  // namespace

HBITMAP BuildTransparencyMask(HBITMAP bitmap, int width, int height, COLORREF transparent) {
    if (!bitmap || width <= 0 || height <= 0) return nullptr;
    ScopedBitmap mask(::CreateBitmap(width, height, 1, 1, nullptr));
    MemoryDC imageDc(nullptr), maskDc(nullptr);
    if (!mask || !imageDc.get() || !maskDc.get()) return nullptr;
    SelectedObject selectedImage(imageDc.get(), bitmap);
    SelectedObject selectedMask(maskDc.get(), mask.get());
    ::SetBkColor(imageDc.get(), transparent);
    ::BitBlt(maskDc.get(), 0, 0, width, height, imageDc.get(), 0, 0, SRCCOPY);
    ::SetTextColor(imageDc.get(), kWhite);
    ::SetBkColor(imageDc.get(), kBlack);
    ::BitBlt(imageDc.get(), 0, 0, width, height, maskDc.get(), 0, 0, SRCAND);
    return mask.release();
}

void SkinImageSet::Clear() {
    for (BitmapEntry& entry : m_bitmaps) entry = BitmapEntry{};
    for (IconEntry& entry : m_icons) entry = IconEntry{};
}

SkinImageResult SkinImageSet::AdoptBitmap(BitmapEntry& entry, HBITMAP bitmap,
                                          COLORREF transparent) {
    entry.image.reset(bitmap);
    BITMAP info = {};
    if (!::GetObjectA(bitmap, sizeof(info), &info)) return kSkinImageNotMeasured;
    entry.width = info.bmWidth;
    entry.height = info.bmHeight;
    entry.mask.reset(BuildTransparencyMask(bitmap, entry.width, entry.height, transparent));
    return entry.mask ? kSkinImagesSet : kSkinMaskNotBuilt;
}

SkinImageResult SkinImageSet::SetBitmaps(HBITMAP hover, COLORREF hoverTransparent, HBITMAP plain,
                                         COLORREF plainTransparent) {
    Clear();
    // One handle given twice would be freed twice.
    if (plain == hover) plain = nullptr;
    SkinImageResult result = AdoptBitmap(m_bitmaps[kHoverImage], hover, hoverTransparent);
    if (result == kSkinImagesSet && plain)
        result = AdoptBitmap(m_bitmaps[kPlainImage], plain, plainTransparent);
    else if (plain)
        ::DeleteObject(plain);
    if (result != kSkinImagesSet) Clear();
    return result;
}

bool SkinImageSet::AdoptIcon(IconEntry& entry, HICON icon) {
    entry.icon.reset(icon);
    ICONINFO info = {};
    if (!icon || !::GetIconInfo(icon, &info)) return false;
    // The information comes with copies of the icon's bitmaps.
    if (info.hbmMask) ::DeleteObject(info.hbmMask);
    if (info.hbmColor) ::DeleteObject(info.hbmColor);
    SIZE size = IconSizeFromHotSpot(info.xHotspot, info.yHotspot);
    entry.width = size.cx;
    entry.height = size.cy;
    return true;
}

SkinImageResult SkinImageSet::SetIcons(HICON hover, HICON plain) {
    Clear();
    if (plain == hover) plain = nullptr;
    bool adopted = AdoptIcon(m_icons[kHoverImage], hover);
    if (adopted && plain)
        adopted = AdoptIcon(m_icons[kPlainImage], plain);
    else if (plain)
        ::DestroyIcon(plain);
    if (adopted) return kSkinImagesSet;
    Clear();
    return kSkinImageNotMeasured;
}

SIZE SkinImageSet::Size(int entry) const {
    if (m_icons[entry].icon) return {m_icons[entry].width, m_icons[entry].height};
    return {m_bitmaps[entry].width, m_bitmaps[entry].height};
}

void SkinImageSet::Draw(HDC dc, int entry, POINT at, bool disabled) const {
    if (const IconEntry& icon = m_icons[entry]; icon.icon) {
        ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(icon.icon.get()), 0, at.x, at.y,
                     icon.width, icon.height, DST_ICON | (disabled ? DSS_DISABLED : DSS_NORMAL));
    } else if (m_bitmaps[entry].image) {
        DrawBitmap(dc, m_bitmaps[entry], at, disabled);
    }
}

void SkinImageSet::DrawBitmap(HDC dc, const BitmapEntry& entry, POINT at, bool disabled) const {
    MemoryDC source(dc);
    if (!disabled) {
        BlitMasked(dc, at.x, at.y, entry.width, entry.height, source.get(), entry.mask.get(),
                   entry.image.get());
        return;
    }
    // Greyed: the transparent picture composed on white first, then embossed as a whole.
    ScopedBitmap composed(::CreateCompatibleBitmap(dc, entry.width, entry.height));
    if (!composed) return;
    {
        MemoryDC target(dc);
        SelectedObject selected(target.get(), composed.get());
        ::PatBlt(target.get(), 0, 0, entry.width, entry.height, WHITENESS);
        BlitMasked(target.get(), 0, 0, entry.width, entry.height, source.get(), entry.mask.get(),
                   entry.image.get());
    }
    ::DrawStateA(dc, nullptr, nullptr, reinterpret_cast<LPARAM>(composed.get()), 0, at.x, at.y,
                 entry.width, entry.height, DST_BITMAP | DSS_DISABLED);
}
