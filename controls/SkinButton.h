#pragma once
// The flat owner-drawn push button used for every button of the program: one or two images
// (bitmaps with a transparent colour, or icons), a caption in the button colours, a hover
// image, a hand cursor and a tooltip, while the dialog manager keeps its default-button and
// keyboard handling.
#include <windows.h>

#include <string>

#include "controls/SkinButtonLayout.h"
#include "controls/SkinImages.h"
#include "framework/Controls.h"
#include "framework/Handles.h"
#include "framework/ToolTipCtrl.h"

class CSkinButton : public CButton {
  public:
    CSkinButton();
    ~CSkinButton() override;

    // The image operations answer a SkinImageResult; on failure the button keeps no image.
    // The button owns the handles passed in from then on.
    SkinImageResult LoadBitmapImages(UINT hoverId, COLORREF hoverTransparent, UINT plainId,
                                     COLORREF plainTransparent);
    SkinImageResult SetBitmapImages(HBITMAP hover, COLORREF hoverTransparent, HBITMAP plain,
                                    COLORREF plainTransparent);
    SkinImageResult LoadIconImages(UINT hoverId, UINT plainId);
    SkinImageResult SetIconImages(HICON hover, HICON plain);
    // An alignment outside the three is refused and changes nothing.
    SkinAlignmentResult SetImageAlignment(SkinImageAlignment alignment, bool repaint);
    void SetHoverBorder(bool on, bool repaint);
    // Cursor id 0 asks for no cursor, which is not a failure.
    SkinCursorResult LoadHoverCursor(UINT cursorId, bool repaint);
    void SetTipText(const char* text, BOOL activate);
    void ResetColors(bool repaint);

    // What the last drawing showed: the image entry (-1 for none) and where.
    int LastDrawnImage() const { return m_lastDrawnImage; }
    RECT LastDrawnImageRect() const { return m_lastDrawnImageRect; }
    bool IsHovered() const { return m_hovered; }
    bool IsDefault() const { return m_isDefault; }

  protected:
    virtual void DrawBackground(HDC dc, RECT* rect);
    virtual void DrawBorder(HDC dc, RECT* rect);

    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    struct ColorPair {
        COLORREF background;
        COLORREF text;
    };
    enum ColorPairIndex { kHoverColors = 0, kPlainColors = 1, kFocusColors = 2 };

    void DrawItem(const DRAWITEMSTRUCT& item);
    void DrawCaption(HDC dc, const std::string& caption, RECT area);
    void OnMouseMove(WPARAM flags, LPARAM position);
    void OnEnable(BOOL enabled);
    LRESULT OnSetStyle(WPARAM style, LPARAM redraw);
    void CancelHover();
    void RelayToToolTip(UINT msg, WPARAM wp, LPARAM lp);
    void ApplyTipText();
    bool CreateToolTip();
    void Repaint(bool repaint) const;

    bool m_hovered = false;
    bool m_pressed = false;
    bool m_focused = false;
    bool m_disabled = false;
    bool m_isDefault = false;
    bool m_focusTakenByDisabling = false;
    SkinImageAlignment m_alignment = kImageLeftOfCaption;
    bool m_hoverBorder = true;
    ColorPair m_colors[3];
    HCURSOR m_cursor = nullptr;  // shared, never destroyed
    CToolTipCtrl m_toolTip;
    std::string m_tipText;
    BOOL m_tipActive = FALSE;
    SkinImageSet m_images;
    int m_lastDrawnImage = -1;
    RECT m_lastDrawnImageRect = {};
};

// The set-up every page's command button shares: its one bitmap (white transparent) above the
// caption, no border, the hand cursor, and a tooltip when `tip` is given.
void AttachCommandButton(CSkinButton& button, CWnd* page, UINT id, UINT bitmap,
                         const char* tip = nullptr);
