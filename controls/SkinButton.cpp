#include "controls/SkinButton.h"

#include <windowsx.h>

#include <string>

#include "controls/SkinButtonLayout.h"
#include "framework/WinApp.h"
#include "res/resource.h"

namespace {
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr int kMaxTipWidth = 400;
constexpr UINT_PTR kToolId = 1;
// Every type bit of a button style, cleared when the button turns owner-drawn.
constexpr LONG_PTR kStyleTypeBits = 0x1F;
constexpr UINT kCaptionFormat = DT_WORDBREAK | DT_CENTER;

HANDLE LoadResourceImage(UINT id, UINT type) {
    if (id == 0) return nullptr;
    // Bitmaps keep their own format: one made for the screen's asks Wine's server about the
    // display each time.
    UINT flags = type == IMAGE_BITMAP ? LR_CREATEDIBSECTION : LR_DEFAULTCOLOR;
    return ::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(id), type, 0, 0, flags);
}

void FillSolid(HDC dc, int x, int y, int width, int height, COLORREF color) {
    ::SetBkColor(dc, color);
    RECT rect = {x, y, x + width, y + height};
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &rect, nullptr, 0, nullptr);
}

void Draw3dRect(HDC dc, const RECT& rect, COLORREF topLeft, COLORREF bottomRight) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    FillSolid(dc, rect.left, rect.top, width - 1, 1, topLeft);
    FillSolid(dc, rect.left, rect.top, 1, height - 1, topLeft);
    FillSolid(dc, rect.right - 1, rect.top, 1, height, bottomRight);
    FillSolid(dc, rect.left, rect.bottom - 1, width, 1, bottomRight);
}
}  // namespace

CSkinButton::CSkinButton() { ResetColors(false); }

CSkinButton::~CSkinButton() = default;

void CSkinButton::PreSubclassWindow() {
    if ((GetButtonStyle() & BS_TYPEMASK) == BS_DEFPUSHBUTTON) m_isDefault = true;
    LONG_PTR style = GetStyle();
    // The frame stays as it was: a repaint, not a frame change, shows the new style.
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, (style & ~kStyleTypeBits) | BS_OWNERDRAW);
    if (::IsWindowVisible(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

SkinImageResult CSkinButton::LoadBitmapImages(UINT hoverId, COLORREF hoverTransparent, UINT plainId,
                                              COLORREF plainTransparent) {
    auto hover = static_cast<HBITMAP>(LoadResourceImage(hoverId, IMAGE_BITMAP));
    auto plain = static_cast<HBITMAP>(LoadResourceImage(plainId, IMAGE_BITMAP));
    return SetBitmapImages(hover, hoverTransparent, plain, plainTransparent);
}

SkinImageResult CSkinButton::SetBitmapImages(HBITMAP hover, COLORREF hoverTransparent,
                                             HBITMAP plain, COLORREF plainTransparent) {
    SkinImageResult result = m_images.SetBitmaps(hover, hoverTransparent, plain, plainTransparent);
    Repaint(true);
    return result;
}

SkinImageResult CSkinButton::LoadIconImages(UINT hoverId, UINT plainId) {
    auto hover = static_cast<HICON>(LoadResourceImage(hoverId, IMAGE_ICON));
    auto plain = static_cast<HICON>(LoadResourceImage(plainId, IMAGE_ICON));
    return SetIconImages(hover, plain);
}

SkinImageResult CSkinButton::SetIconImages(HICON hover, HICON plain) {
    SkinImageResult result = m_images.SetIcons(hover, plain);
    Repaint(true);
    return result;
}

SkinAlignmentResult CSkinButton::SetImageAlignment(SkinImageAlignment alignment, bool repaint) {
    if (!IsValidImageAlignment(alignment)) return kSkinAlignmentRefused;
    m_alignment = alignment;
    Repaint(repaint);
    return kSkinAlignmentSet;
}

void CSkinButton::SetHoverBorder(bool on, bool repaint) {
    m_hoverBorder = on;
    Repaint(repaint);
}

SkinCursorResult CSkinButton::LoadHoverCursor(UINT cursorId, bool repaint) {
    // Shared: every button gets the one cursor of the process, which the system frees.
    m_cursor =
        cursorId
            ? static_cast<HCURSOR>(::LoadImageA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(cursorId),
                                                IMAGE_CURSOR, 0, 0, LR_DEFAULTCOLOR | LR_SHARED))
            : nullptr;
    Repaint(repaint);
    return (cursorId != 0 && !m_cursor) ? kSkinCursorNotLoaded : kSkinCursorSet;
}

void CSkinButton::ResetColors(bool repaint) {
    for (ColorPair& pair : m_colors)
        pair = {::GetSysColor(COLOR_BTNFACE), ::GetSysColor(COLOR_BTNTEXT)};
    Repaint(repaint);
}

void CSkinButton::Repaint(bool repaint) const {
    // Without a window there is nothing to repaint; a null window would mean the screen.
    // A hidden button paints afresh when shown; skipping it saves a round trip to Wine's server.
    if (repaint && m_hWnd && ::IsWindowVisible(m_hWnd)) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

bool CSkinButton::CreateToolTip() {
    if (m_toolTip.IsCreated()) return true;
    if (!m_hWnd || !m_toolTip.Create(m_hWnd)) return false;
    m_toolTip.Activate(FALSE);
    m_toolTip.SetMaxTipWidth(kMaxTipWidth);
    return true;
}

void CSkinButton::SetTipText(const char* text, BOOL activate) {
    if (!text) return;
    m_tipText = text;
    m_tipActive = activate;
    // The tooltip window itself waits for the pointer: a window per button at start-up is
    // what made start-up slow.
    if (m_toolTip.IsCreated()) ApplyTipText();
}

void CSkinButton::ApplyTipText() {
    if (m_toolTip.GetToolCount() == 0) {
        RECT client;
        GetClientRect(&client);
        m_toolTip.AddTool(m_hWnd, kToolId, client, m_tipText.c_str());
    }
    m_toolTip.UpdateTipText(m_hWnd, kToolId, m_tipText.c_str());
    m_toolTip.Activate(m_tipActive);
}

void CSkinButton::RelayToToolTip(UINT msg, WPARAM wp, LPARAM lp) {
    if (!m_toolTip.IsCreated()) {
        if (m_tipText.empty() || !CreateToolTip()) return;
        ApplyTipText();
    }
    DWORD position = ::GetMessagePos();
    MSG relayed = {m_hWnd,
                   msg,
                   wp,
                   lp,
                   static_cast<DWORD>(::GetMessageTime()),
                   {GET_X_LPARAM(position), GET_Y_LPARAM(position)}};
    m_toolTip.RelayEvent(relayed);
}

LRESULT CSkinButton::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    // The tooltip learns of the pointer here, since no message loop pre-translates for it.
    if (msg >= WM_MOUSEFIRST && msg <= WM_MOUSELAST) RelayToToolTip(msg, wp, lp);
    switch (msg) {
        case WM_GETDLGCODE: {
            LRESULT code = Default() & ~(DLGC_DEFPUSHBUTTON | DLGC_UNDEFPUSHBUTTON);
            return code | (m_isDefault ? DLGC_DEFPUSHBUTTON : DLGC_UNDEFPUSHBUTTON);
        }
        case BM_SETSTYLE:
            return OnSetStyle(wp, lp);
        case WM_LBUTTONDBLCLK:
            // An owner-drawn button would report a double click instead of a second click.
            return CallPrevious(WM_LBUTTONDOWN, wp, lp);
        case WM_SETCURSOR:
            if (!m_cursor) return Default();
            ::SetCursor(m_cursor);
            return TRUE;
        case WM_MOUSEMOVE:
            OnMouseMove(wp, lp);
            return 0;
        case WM_MOUSELEAVE:
            CancelHover();
            return 0;
        case WM_KILLFOCUS:
            // Disabling takes the focus away before WM_ENABLE arrives.
            m_focusTakenByDisabling = !::IsWindowEnabled(m_hWnd);
            [[fallthrough]];
        case WM_CANCELMODE: {
            LRESULT result = Default();
            CancelHover();
            return result;
        }
        case WM_ACTIVATE: {
            LRESULT result = Default();
            if (LOWORD(wp) == WA_INACTIVE) CancelHover();
            return result;
        }
        case WM_ENABLE: {
            LRESULT result = Default();
            OnEnable(static_cast<BOOL>(wp));
            return result;
        }
        case WM_DESTROY:
            m_toolTip.DestroyWindow();
            return Default();
        default:
            return Default();
    }
}

LRESULT CSkinButton::OnSetStyle(WPARAM style, LPARAM redraw) {
    int defaultState = DefaultStateForStyle(style);
    if (defaultState >= 0) m_isDefault = defaultState == 1;
    // The dialog manager moves the default emphasis this way; the button stays owner-drawn.
    return CallPrevious(BM_SETSTYLE, OwnerDrawnStyle(style), redraw);
}

void CSkinButton::OnMouseMove(WPARAM flags, LPARAM position) {
    Default();
    // Pressed elsewhere and dragged here: not a hover.
    if ((flags & MK_LBUTTON) && !m_hovered) return;
    POINT point = {GET_X_LPARAM(position), GET_Y_LPARAM(position)};
    ::ClientToScreen(m_hWnd, &point);
    if (::WindowFromPoint(point) != m_hWnd) {
        CancelHover();
        return;
    }
    if (m_hovered) return;
    m_hovered = true;
    Invalidate();
    TRACKMOUSEEVENT track = {sizeof(track), TME_LEAVE, m_hWnd, 0};
    ::TrackMouseEvent(&track);
}

void CSkinButton::CancelHover() {
    if (!m_hovered) return;
    m_hovered = false;
    Invalidate();
}

void CSkinButton::OnEnable(BOOL enabled) {
    bool hadFocus = m_focusTakenByDisabling || ::GetFocus() == m_hWnd;
    m_focusTakenByDisabling = false;
    if (enabled) return;
    // The focus a disabled button had goes to the next control. Focus elsewhere stays where
    // it is: moving it would also activate a window that is hidden or in the background.
    HWND parent = GetParent();
    if (parent && hadFocus) {
        HWND next = ::GetNextDlgTabItem(parent, m_hWnd, FALSE);
        ::SetFocus(next && next != m_hWnd ? next : parent);
    }
    CancelHover();
}

bool CSkinButton::OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) {
    switch (msg) {
        case WM_DRAWITEM:
            DrawItem(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
            *result = TRUE;
            return true;
        case WM_CTLCOLORBTN:
        case WM_CTLCOLORSTATIC:
            *result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
            return true;
        case WM_COMMAND:
            // The parent still receives the click.
            if (HIWORD(wp) == BN_CLICKED) ::SetFocus(m_hWnd);
            return false;
        default:
            return false;
    }
}

void CSkinButton::DrawItem(const DRAWITEMSTRUCT& item) {
    HDC dc = item.hDC;
    m_pressed = (item.itemState & ODS_SELECTED) != 0;
    m_focused = (item.itemState & ODS_FOCUS) != 0;
    m_disabled = (item.itemState & ODS_DISABLED) != 0;
    int saved = ::SaveDC(dc);
    ::SetBkMode(dc, TRANSPARENT);
    RECT itemRect = item.rcItem;
    DrawBackground(dc, &itemRect);
    if (m_hoverBorder && (m_pressed || m_hovered)) DrawBorder(dc, &itemRect);

    std::string caption = GetWindowText();
    RECT captionRect = item.rcItem;
    m_lastDrawnImage = -1;
    if (!m_images.Empty()) {
        int entry = ChooseImageEntry(m_pressed, m_hovered, m_images.HasPlainImage());
        SIZE size = m_images.Size(entry);
        SkinButtonLayout layout = PlaceImage(m_alignment, !caption.empty(), item.rcItem,
                                             captionRect, m_pressed, size.cx, size.cy);
        captionRect = layout.caption;
        ::SetBkColor(dc, kWhite);
        m_images.Draw(dc, entry, {layout.image.left, layout.image.top}, m_disabled);
        m_lastDrawnImage = entry;
        m_lastDrawnImageRect = layout.image;
    }
    if (!caption.empty()) DrawCaption(dc, caption, captionRect);
    ::RestoreDC(dc, saved);
}

void CSkinButton::DrawCaption(HDC dc, const std::string& caption, RECT area) {
    area = PressedOffset(area, m_pressed);
    RECT measured = area;
    ::DrawTextA(dc, caption.c_str(), -1, &measured, kCaptionFormat | DT_CALCRECT);
    RECT centred = CentreRect(area, measured);
    if (m_disabled) {
        RECT embossed = centred;
        ::OffsetRect(&embossed, 1, 1);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DHILIGHT));
        ::DrawTextA(dc, caption.c_str(), -1, &embossed, kCaptionFormat);
        ::SetTextColor(dc, ::GetSysColor(COLOR_3DSHADOW));
        ::DrawTextA(dc, caption.c_str(), -1, &centred, kCaptionFormat);
        return;
    }
    const ColorPair& colors = m_colors[(m_hovered || m_pressed) ? kHoverColors : kPlainColors];
    ::SetTextColor(dc, colors.text);
    ::SetBkColor(dc, colors.background);
    ::DrawTextA(dc, caption.c_str(), -1, &centred, kCaptionFormat);
}

void CSkinButton::DrawBackground(HDC dc, RECT* rect) {
    ColorPairIndex pair = kPlainColors;
    if (m_hovered || m_pressed)
        pair = kHoverColors;
    else if (m_focused)
        pair = kFocusColors;
    FillSolid(dc, rect->left, rect->top, rect->right - rect->left, rect->bottom - rect->top,
              m_colors[pair].background);
}

void CSkinButton::DrawBorder(HDC dc, RECT* rect) {
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW), highlight = ::GetSysColor(COLOR_BTNHILIGHT);
    if (m_pressed)
        Draw3dRect(dc, *rect, shadow, highlight);
    else
        Draw3dRect(dc, *rect, highlight, shadow);
}

void AttachCommandButton(CSkinButton& button, CWnd* page, UINT id, UINT bitmap, const char* tip) {
    button.SubclassDlgItem(id, page);
    button.LoadBitmapImages(bitmap, kWhite, 0, kWhite);
    button.SetImageAlignment(kImageAboveCaption, true);
    if (tip) button.SetTipText(tip, TRUE);
    button.SetHoverBorder(FALSE, TRUE);
    button.LoadHoverCursor(IDC_HAND_CURSOR, TRUE);
}
