#pragma once
// Dialogs from templates, modal (own modal loop, like the class library it stands in for)
// or modeless. One static dialog procedure finds the object in DWLP_USER and calls the
// typed virtual handlers below.
#include <windows.h>

#include "framework/Wnd.h"

class CDialog : public CWnd {
  public:
    explicit CDialog(UINT templateId, CWnd* parent = nullptr);
    ~CDialog() override;

    // Runs the dialog modally; returns the value given to EndDialog, or -1.
    INT_PTR DoModal();
    // Creates the dialog modeless, as a child when its template says so.
    bool Create(UINT templateId, CWnd* parent = nullptr);
    virtual bool DestroyWindow();
    // Ends the modal loop (modal) or hides the window (modeless).
    void EndDialog(INT_PTR result);

  protected:
    virtual BOOL OnInitDialog() { return TRUE; }
    virtual void OnOK() { EndDialog(IDOK); }
    virtual void OnCancel() { EndDialog(IDCANCEL); }
    // Returns true when the command was handled.
    virtual bool OnCommand(UINT id, UINT code, HWND control);
    // Returns true when handled, with the result in `result`.
    virtual bool OnNotify(NMHDR* header, LRESULT* result);
    // A chance to act on a message before the modal loop dispatches it; true consumes it.
    virtual bool PreTranslateMessage(MSG* msg);

    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    LRESULT Default() override;

    // A modal dialog shows itself when its loop starts unless this is cleared first (the
    // main window starts hidden in the notification area).
    bool m_showWhenModal = true;

  private:
    static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp);
    INT_PTR Dispatch(UINT msg, WPARAM wp, LPARAM lp);
    void RunModalLoop();
    static bool ReturnsDirectly(UINT msg);

    UINT m_templateId;
    CWnd* m_parent;
    bool m_inModalLoop = false;
    bool m_endModal = false;
    INT_PTR m_modalResult = -1;
    bool m_defaultRequested = false;
};
