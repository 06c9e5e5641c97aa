#pragma once
// Thin wrappers over the standard and common controls, attached to dialog items.
#include <windows.h>
#include <commctrl.h>

#include <string>

#include "framework/Handles.h"
#include "framework/Wnd.h"

// Looks up a dialog item and refers to it, without subclassing.
inline bool AttachDlgItem(CWnd& control, const CWnd& parent, int id) {
    control.m_hWnd = parent.GetDlgItem(id);
    return control.m_hWnd != nullptr;
}

class CButton : public CWnd {
  public:
    UINT GetButtonStyle() const { return static_cast<UINT>(GetStyle()) & 0xFFFF; }
    void SetButtonStyle(UINT style, BOOL redraw = TRUE) const {
        SendMessage(BM_SETSTYLE, style, redraw);
    }
    int GetCheck() const { return static_cast<int>(SendMessage(BM_GETCHECK)); }
    void SetCheck(int state) const { SendMessage(BM_SETCHECK, state); }
};

class CStatic : public CWnd {};

// Texts are UTF-8.
class CListCtrl : public CWnd {
  public:
    int InsertColumn(int index, const std::string& heading, int format, int width) const;
    bool DeleteItem(int item) const { return SendMessage(LVM_DELETEITEM, item) != 0; }
    bool DeleteAllItems() const { return SendMessage(LVM_DELETEALLITEMS) != 0; }
    int GetNextItem(int start, int flags) const {
        return static_cast<int>(SendMessage(LVM_GETNEXTITEM, start, MAKELPARAM(flags, 0)));
    }
    int GetSelectedItem() const { return GetNextItem(-1, LVNI_SELECTED); }
    DWORD SetExtendedStyle(DWORD style) const {
        return static_cast<DWORD>(SendMessage(LVM_SETEXTENDEDLISTVIEWSTYLE, 0, style));
    }
};

class CAnimateCtrl : public CWnd {
  public:
    bool Open(UINT resourceId) const {
        return SendMessage(ACM_OPENA, 0, reinterpret_cast<LPARAM>(MAKEINTRESOURCEA(resourceId)));
    }
    bool Play(UINT from = 0, UINT to = 0xFFFF, UINT repeat = 0xFFFFFFFF) const {
        return SendMessage(ACM_PLAY, repeat, MAKELPARAM(from, to)) != 0;
    }
    bool Stop() const { return SendMessage(ACM_STOP) != 0; }
    void Close() const { SendMessage(ACM_OPENA); }
};

// An owned font.
class CFont {
  public:
    // `pointSize10` in tenths of a point, as the class library takes it.
    bool CreatePointFont(int pointSize10, const char* face, bool bold = false);
    bool CreateFontIndirect(const LOGFONTA& font);
    HFONT get() const { return m_font.get(); }
    operator HFONT() const { return m_font.get(); }

  private:
    ScopedFontHandle m_font;
};
