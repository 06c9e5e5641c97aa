#pragma once
// A static text turned into a link: blue, purple once visited, red under the pointer, an
// underlined font, a hand cursor, a tooltip with the target, and a click that opens it.
#include <windows.h>

#include <string>

#include "framework/Controls.h"
#include "framework/Handles.h"
#include "framework/ToolTipCtrl.h"

class CHyperLink : public CStatic {
  public:
    CHyperLink() = default;
    ~CHyperLink() override;

    void SetLinkTarget(std::string target);
    // 1 always underlined, 0 never, -1 while the pointer is over the link.
    void SetUnderlineMode(int mode);
    COLORREF CurrentTextColor() const;

  protected:
    void PreSubclassWindow() override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    bool OnChildNotify(UINT msg, WPARAM wp, LPARAM lp, LRESULT* result) override;

  private:
    void FitToText();
    void LoadHandCursor();
    void UseFont(bool underlined);
    void RelayToToolTip(UINT msg, WPARAM wp, LPARAM lp);
    void OnMouseMove();
    void OnHoverTimer();
    void OnClicked();

    COLORREF m_linkColor = RGB(0, 0, 238);
    COLORREF m_visitedColor = RGB(85, 26, 139);
    COLORREF m_hoverColor = RGB(255, 0, 0);
    bool m_over = false;
    bool m_visited = false;
    int m_underlineMode = -1;
    bool m_fitToText = true;
    std::string m_target;
    ScopedFontHandle m_underlinedFont;
    ScopedFontHandle m_standardFont;
    ScopedCursor m_cursor;
    CToolTipCtrl m_toolTip;
    static constexpr UINT_PTR kHoverTimer = 100;
};
