#include "app/Tray.h"

#include <mutex>

#include "app/MainDlg.h"
#include "app/Messages.h"
#include "framework/Handles.h"
#include "framework/LateImport.h"
#include "framework/Strings.h"
#include "framework/WinApp.h"
#include "res/resource.h"

static_assert(kTrayIconId == IDI_TRAY);

NOTIFYICONDATAA g_trayIconData = {};

namespace {
constexpr char kTaskbarClass[] = "Shell_TrayWnd";
constexpr DWORD kWhilePresentMs = 100;
constexpr DWORD kWhileAbsentMs = 500;
// The tip field of the first record form.
constexpr size_t kTipChars = 64;

std::mutex g_trayLock;
bool g_trayRemoved = false;

bool TaskbarExists() { return ::FindWindowA(kTaskbarClass, nullptr) != nullptr; }
}  // namespace

void FillTrayIconData(NOTIFYICONDATAA& data, HWND window, HICON icon, const std::string& tip) {
    data = {};
    data.cbSize = NOTIFYICONDATAA_V1_SIZE;
    data.hWnd = window;
    data.uID = kTrayIconId;
    data.uFlags = NIF_MESSAGE | NIF_ICON | NIF_TIP;
    data.uCallbackMessage = WM_TRAY_NOTIFY;
    data.hIcon = icon;
    ::lstrcpynA(data.szTip, tip.c_str(), kTipChars);
}

bool AddTrayIcon(HWND window) {
    std::string tip = LoadResString(IDS_SHIELD_ACTIVE);
    std::lock_guard<std::mutex> lock(g_trayLock);
    if (g_trayRemoved || !window) return false;
    ScopedIcon icon(static_cast<HICON>(::LoadImageA(
        AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_TRAY), IMAGE_ICON,
        ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), LR_DEFAULTCOLOR)));
    FillTrayIconData(g_trayIconData, window, icon.get(), tip);
    bool added = LATE_CALL("shell32.dll", Shell_NotifyIconA, NIM_ADD, &g_trayIconData) != FALSE;
    // The shell keeps its own copy of the icon.
    g_trayIconData.hIcon = nullptr;
    return added;
}

void DeleteTrayIcon() {
    std::lock_guard<std::mutex> lock(g_trayLock);
    g_trayRemoved = true;
    if (g_trayIconData.cbSize)
        LATE_CALL("shell32.dll", Shell_NotifyIconA, NIM_DELETE, &g_trayIconData);
}

void ShowTrayMenu(HWND owner) {
    ScopedMenu menu(::LoadMenuA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDR_TRAY_MENU)));
    HMENU popup = menu ? ::GetSubMenu(menu.get(), 0) : nullptr;
    if (!popup) return;
    ::SetMenuDefaultItem(popup, 0, TRUE);
    // Without the foreground the menu would not close when the user clicks elsewhere.
    ::SetForegroundWindow(owner);
    POINT cursor = {};
    ::GetCursorPos(&cursor);
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, cursor.x, cursor.y, 0, owner, nullptr);
    ::PostMessageA(owner, WM_NULL, 0, 0);
}

DWORD WINAPI TrayKeeperThread(LPVOID) {
    AddTrayIcon(g_hMainWnd);
    for (;;) {
        while (TaskbarExists()) ::Sleep(kWhilePresentMs);
        do {
            ::Sleep(kWhileAbsentMs);
        } while (!TaskbarExists());
        AddTrayIcon(g_hMainWnd);
    }
}
