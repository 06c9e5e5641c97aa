#include "framework/Strings.h"

#include "framework/Text.h"
#include "framework/WinApp.h"

namespace {
const UINT kAppTitleId = 0xE000;

HWND MessageBoxOwner() {
    // Only the calling thread's own visible window may own the box; workers show theirs alone.
    HWND active = ::GetActiveWindow();
    if (active && ::IsWindowVisible(active)) return active;
    CWinApp* app = AfxGetApp();
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    if (main && ::IsWindowVisible(main) &&
        ::GetWindowThreadProcessId(main, nullptr) == ::GetCurrentThreadId())
        return main;
    return nullptr;
}
}  // namespace

std::string LoadResString(UINT id) {
    char buffer[4096] = {};
    int length = ::LoadStringA(AfxGetInstanceHandle(), id, buffer, sizeof(buffer));
    return std::string(buffer, length > 0 ? static_cast<size_t>(length) : 0);
}

int AfxMessageBox(const char* text, UINT type) {
    std::string title = LoadResString(kAppTitleId);
    if (title.empty()) {
        CWinApp* app = AfxGetApp();
        title = app ? app->m_pszExeName : "";
    }
    HWND owner = MessageBoxOwner();
    if (!owner) type |= MB_SETFOREGROUND;
    // Wide, so that a file name in any script reads as it is named.
    return ::MessageBoxW(owner, Utf8ToWide(text).c_str(), Utf8ToWide(title).c_str(), type);
}

int AfxMessageBox(const std::string& text, UINT type) { return AfxMessageBox(text.c_str(), type); }

int AfxMessageBox(UINT stringId, UINT type) {
    return AfxMessageBox(LoadResString(stringId).c_str(), type);
}
