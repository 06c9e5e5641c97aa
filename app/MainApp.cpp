// Sockets first: the Windows headers pull in the old socket API otherwise.
#include <winsock2.h>

#include "app/MainApp.h"

#include <string>

#include "app/MainDlg.h"
#include "framework/FileSystem.h"
#include "framework/LateImport.h"
#include "framework/Strings.h"
#include "framework/Text.h"
#include "framework/Thread.h"
#include "res/resource.h"
#include "update/UpdateCheck.h"
#include "usb/AutorunPolicy.h"

namespace {
using SkinInitFn = int(__cdecl*)(DWORD);
using SkinLoadFn = int(__cdecl*)(const char*);
using SkinExitFn = int(__cdecl*)();

template <typename Fn>
Fn SkinExport(HMODULE library, const char* name) {
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(library, name)));
}

// The socket library is loaded only when an update check is due.
bool InitSockets() {
    auto startup = LATE_IMPORT("ws2_32.dll", WSAStartup);
    WSADATA data;
    return startup && startup(MAKEWORD(1, 1), &data) == 0;
}

struct InstanceSearch {
    const char* exeName;
    HWND found;
};

BOOL CALLBACK FindInstanceWindow(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<InstanceSearch*>(param);
    if (!::GetPropA(window, search->exeName)) return TRUE;
    search->found = window;
    return FALSE;
}
}  // namespace

void HandOverToRunningInstance(const char* exeName) {
    // A snapshot of the top-level windows: walking the z-order step by step loses its place
    // when a window moves or goes meanwhile, and the running instance would stay hidden.
    InstanceSearch search = {exeName, nullptr};
    ::EnumWindows(FindInstanceWindow, reinterpret_cast<LPARAM>(&search));
    if (search.found) BringToFront(search.found);
}

void CheckAutorunSetting(HKEY key) {
    char value[100] = {};
    DWORD size = sizeof(value);
    LONG status = ::RegQueryValueExA(key, kAutorunValue, nullptr, nullptr,
                                     reinterpret_cast<BYTE*>(value), &size);
    // A value too long for the buffer is still there: the question was asked.
    if (status == ERROR_SUCCESS || status == ERROR_MORE_DATA) return;
    if (AfxMessageBox(IDS_ASK_DISABLE_AUTORUN, MB_OKCANCEL) == IDOK) DisableAutoRun();
    ::RegSetValueExA(key, kAutorunValue, 0, REG_SZ, reinterpret_cast<const BYTE*>("1"), 2);
}

bool CMainApp::ClaimSingleInstance() {
    HANDLE semaphore = ::CreateSemaphoreA(nullptr, 1, 1, m_pszExeName);
    if (semaphore && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(semaphore);
        return false;
    }
    // Held for the life of the process: it marks this instance as the running one.
    return true;
}

void CMainApp::LoadSkinLibrary(const std::string& exeFolder) {
    m_skinLibrary = LoadLibraryUtf8(exeFolder + "SkinLoad.dll");
    if (!m_skinLibrary) return;
    // The library takes only an ANSI path: a folder the code page cannot spell would reach it
    // with '?' in it, so the skin is then not loaded at all (the plain look stays).
    bool exact = false;
    std::string skin = Utf8ToAnsi(exeFolder + "xp_normal.skin", &exact);
    auto init = SkinExport<SkinInitFn>(m_skinLibrary, "InitSkinLoad");
    auto load = SkinExport<SkinLoadFn>(m_skinLibrary, "LoadSkin");
    if (!init || !load) return;
    init(::GetCurrentThreadId());
    if (exact) load(skin.c_str());
}

BOOL CMainApp::InitInstance() {
    if (!ClaimSingleInstance()) {
        HandOverToRunningInstance(m_pszExeName);
        return FALSE;
    }
    ScopedRegKey settings;
    if (::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          settings.put(), nullptr) != ERROR_SUCCESS) {
        AfxMessageBox(IDS_REGISTRY_FAILED, MB_OK);
        return FALSE;
    }
    std::string errorText = LoadResString(IDS_ERROR);
    std::string exeFolder = ModuleDirectoryUtf8();
    if (exeFolder.empty()) {
        AfxMessageBox(errorText, MB_OK);
        return FALSE;
    }
    LoadSkinLibrary(exeFolder);

    CheckAutorunSetting(settings.get());
    // Shown without the activation, which the main window takes right after (the notice
    // looks inactive either way); a first activation costs Wine its input-method set-up.
    if (m_alertDlg.Create(IDD_ALERT)) ShowAboveTaskbar(m_alertDlg.m_hWnd, false);
    // The update window waits hidden for the check's news; without a check it is not needed.
    if (IsUpdateCheckDue(settings.get()) && InitSockets() && m_webCheckDlg.Create(IDD_WEBCHECK))
        StartUpdateCheck(m_webCheckDlg.Link());
    settings.reset();

    CMainDlg mainDlg;
    m_pMainWnd = &mainDlg;
    m_webCheckDlg.SetHost(&mainDlg);
    mainDlg.DoModal();
    m_webCheckDlg.SetHost(nullptr);
    m_pMainWnd = nullptr;
    return FALSE;
}

int CMainApp::ExitInstance() {
    if (m_skinLibrary) {
        if (auto exitSkin = SkinExport<SkinExitFn>(m_skinLibrary, "ExitSkin")) exitSkin();
        ::FreeLibrary(m_skinLibrary);
        m_skinLibrary = nullptr;
    }
    return CWinApp::ExitInstance();
}
