#pragma once
// The application object: one global instance, entered from WinMain through AfxWinMain.
#include <windows.h>

#include <string>

#include "framework/Wnd.h"

#ifndef ID_HELP
#define ID_HELP 0xE146
#endif

class CWinApp {
  public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance() { return TRUE; }
    virtual int ExitInstance() { return 0; }
    // The help command: handed to the main window's help operation.
    virtual void OnHelp();

    HINSTANCE m_hInstance = nullptr;
    // The running executable's file name without its extension.
    const char* m_pszExeName = "";
    CWnd* m_pMainWnd = nullptr;

  private:
    friend int AfxWinMain(HINSTANCE instance);
    void InitExeName();
    std::string m_exeName;
};

CWinApp* AfxGetApp();
HINSTANCE AfxGetInstanceHandle();
int AfxWinMain(HINSTANCE instance);
