#include "framework/WinApp.h"

#include <commctrl.h>

namespace {
CWinApp* g_app = nullptr;
}

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

void CWinApp::OnHelp() {
    if (m_pMainWnd) m_pMainWnd->WinHelp(0, HELP_CONTEXT);
}

void CWinApp::InitExeName() {
    char path[MAX_PATH] = {};
    DWORD length = ::GetModuleFileNameA(m_hInstance, path, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return;
    std::string name(path, length);
    size_t slash = name.find_last_of("\\/");
    if (slash != std::string::npos) name.erase(0, slash + 1);
    size_t dot = name.find_last_of('.');
    if (dot != std::string::npos) name.erase(dot);
    m_exeName = name;
    m_pszExeName = m_exeName.c_str();
}

CWinApp* AfxGetApp() { return g_app; }

HINSTANCE AfxGetInstanceHandle() {
    return g_app && g_app->m_hInstance ? g_app->m_hInstance : ::GetModuleHandleA(nullptr);
}

int AfxWinMain(HINSTANCE instance) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);
    app->m_hInstance = instance;
    app->InitExeName();
    int code = 0;
    if (app->InitInstance()) {
        // The program's own start-up never returns TRUE: it runs its main window modally.
        MSG msg;
        while (::GetMessageA(&msg, nullptr, 0, 0) > 0) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
    }
    code = app->ExitInstance();
    return code;
}
