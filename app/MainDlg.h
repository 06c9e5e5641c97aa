#pragma once
// The main window: eight page buttons over eight child pages, run modally for the program's
// whole life. Closing it only hides it.
#include <windows.h>

#include "app/InfoPage.h"
#include "app/PageTable.h"
#include "autostart/AutostartPage.h"
#include "controls/SkinButton.h"
#include "framework/Dialog.h"
#include "framework/PageHost.h"
#include "process/TaskwatchPage.h"
#include "quarantine/QuarantinePage.h"
#include "repair/RepairPage.h"
#include "usb/PlugkitPage.h"
#include "usb/PlugsweepPage.h"
#include "usb/PlugwatchPage.h"

class CMainDlg : public CDialog, public IPageHost {
  public:
    explicit CMainDlg(CWnd* parent = nullptr);
    ~CMainDlg() override;

    bool DestroyWindow() override;
    void WinHelp(DWORD_PTR data, UINT command) override;
    void ShowPage(int index);
    // The index of the page shown now, or 0.
    int CurrentPage() const;

    // Looks for USB drives; when there are any, comes forward on the shield page and has it
    // examine their roots.
    void CheckForUsbDrives();

    // Safe from any thread: the work is posted to the user-interface thread.
    void RequestQuit() override;
    void RequestShowPage(int index) override;

  protected:
    BOOL OnInitDialog() override;
    void OnOK() override;
    void OnCancel() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;

  private:
    CPage& Page(int index);
    // Creates page `index` unless it exists; false when it cannot be created.
    bool EnsurePage(int index);
    void PaintMinimised();
    void BringForward();
    // The icons and the system menu's About entry: start-up leaves them until the window has
    // hidden, since nobody sees them before it shows.
    void FinishWindow();
    void SetUpPageButtons();
    void OnTrayNotify(LPARAM mouseMessage);
    // Close hides the window; About opens the About box. False: the default handling.
    bool OnSysCommand(WPARAM command);
    // Tray menu items of the tools page, whether or not that page is shown.
    void OnTraySafelyRemove() { m_plugkitPage.OnSafelyRemove(); }
    void OnTrayAcquireImmunity() { m_plugkitPage.OnAcquireImmunity(); }
    // Tray menu "Update Now": starts the updater without a check, and ends the program
    // without asking when it runs.
    void OnUpdateNow();

    CSkinButton m_pageButtons[kPageCount];
    CInfoPage m_infoPage;
    CTaskwatchPage m_taskwatchPage;
    CQuarantinePage m_quarantinePage;
    CPlugsweepPage m_plugsweepPage;
    CPlugwatchPage m_plugwatchPage;
    CRepairPage m_repairPage;
    CPlugkitPage m_plugkitPage;
    CAutostartPage m_autostartPage;
    HICON m_hIcon;
    bool m_windowFinished = false;
    bool m_pageShown[kPageCount] = {};
};

extern HWND g_hMainWnd;
extern CMainDlg* g_pMainDlg;

UINT UninstallWatchThread(LPVOID mainDlg);
