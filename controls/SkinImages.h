#pragma once
// The one or two images of a skin button: bitmaps drawn through a transparency mask, or
// icons. The set owns every handle it holds.
#include <windows.h>

#include "framework/Handles.h"

enum SkinImageResult : DWORD {
    kSkinImagesSet = 0,
    kSkinImageNotMeasured = 1,
    kSkinMaskNotBuilt = 2,
};

// Entry 0 is the hover image (the main one), entry 1 the optional plain image.
constexpr int kHoverImage = 0;
constexpr int kPlainImage = 1;

// A monochrome mask of `bitmap`: 1 where it has the colour `transparent`, 0 elsewhere. Those
// pixels of `bitmap` itself turn black, so that OR-ing it over a masked background leaves
// the background showing. Null on failure.
HBITMAP BuildTransparencyMask(HBITMAP bitmap, int width, int height, COLORREF transparent);

class SkinImageSet {
  public:
    // Both take ownership of the handles passed, also when they fail: then nothing is kept.
    SkinImageResult SetBitmaps(HBITMAP hover, COLORREF hoverTransparent, HBITMAP plain,
                               COLORREF plainTransparent);
    SkinImageResult SetIcons(HICON hover, HICON plain);
    void Clear();

    bool Empty() const { return !m_bitmaps[kHoverImage].image && !m_icons[kHoverImage].icon; }
    bool HasPlainImage() const {
        return m_bitmaps[kPlainImage].image.valid() || m_icons[kPlainImage].icon.valid();
    }
    SIZE Size(int entry) const;
    void Draw(HDC dc, int entry, POINT at, bool disabled) const;

  private:
    struct BitmapEntry {
        ScopedBitmap image;
        ScopedBitmap mask;
        int width = 0;
        int height = 0;
    };
    struct IconEntry {
        ScopedIcon icon;
        int width = 0;
        int height = 0;
    };

    SkinImageResult AdoptBitmap(BitmapEntry& entry, HBITMAP bitmap, COLORREF transparent);
    bool AdoptIcon(IconEntry& entry, HICON icon);
    void DrawBitmap(HDC dc, const BitmapEntry& entry, POINT at, bool disabled) const;

    BitmapEntry m_bitmaps[2];
    IconEntry m_icons[2];
};
