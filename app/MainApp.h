#pragma once
// The application object: single instance, settings key, skin library, then the main window.
#include <windows.h>

#include <string>

#include "app/AlertDlg.h"
#include "framework/Handles.h"
#include "framework/WinApp.h"
#include "update/WebCheckDlg.h"

constexpr char kSettingsKey[] = "SOFTWARE\\kestrelvane";
constexpr char kAutorunValue[] = "autorun";

class CMainApp : public CWinApp {
  public:
    BOOL InitInstance() override;
    int ExitInstance() override;

    CAlertDlg m_alertDlg;

  private:
    bool ClaimSingleInstance();
    void LoadSkinLibrary(const std::string& exeFolder);

    HMODULE m_skinLibrary = nullptr;
    CWebCheckDlg m_webCheckDlg;
};

// Brings forward the main window of the instance that already runs, if it has one yet.
void HandOverToRunningInstance(const char* exeName);
// Asks the first-run AutoRun question once per machine.
void CheckAutorunSetting(HKEY key);

extern CMainApp theApp;
