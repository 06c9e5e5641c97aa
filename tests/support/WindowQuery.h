#pragma once
// Finding and reading the windows of another process, and acting on them as a user would.
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"

std::string WindowText(HWND window);
inline std::string WindowClass(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}
// A top-level window of process `pid` (0: any; hidden ones too); empty `className` or `title`
// match any.
HWND FindTopLevel(DWORD pid, const std::string& className, const std::string& title);
// Waits for a visible one (a dialog by default); null on timeout.
HWND WaitForWindow(DWORD pid, const std::string& title, const std::string& className = "#32770",
                   DWORD timeoutMs = 20000);
// Direct children of `parent` of the given class ("" for any).
inline std::vector<HWND> ChildWindows(HWND parent, const std::string& className = {}) {
    std::vector<HWND> found;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (className.empty() || WindowClass(child) == className) found.push_back(child);
    return found;
}

// Clicks a button the way the dialog sees a click, without waiting for what it starts.
inline void ClickButton(HWND dialog, int id) {
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                   LPARAM(::GetDlgItem(dialog, id)));
}
// Sends a command as a menu or accelerator would.
inline void PostCommand(HWND window, UINT id) { ::PostMessageA(window, WM_COMMAND, id, 0); }
inline void PressKey(HWND window, UINT virtualKey) {
    ::PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

// A message box of process `pid`: its text and visible buttons.
struct MessageBoxInfo {
    HWND window = nullptr;
    std::string text;
    std::vector<int> buttons;  // control ids of the visible buttons, IDOK, IDCANCEL, ...
};
// Waits for a visible message box of `pid` showing its text; window is null on timeout.
MessageBoxInfo WaitForMessageBox(DWORD pid, DWORD timeoutMs = 10000);
// Presses button `id` of the box and waits until the box is gone.
bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId);
// Whether any visible message box of `pid` is up now.
bool AnyMessageBox(DWORD pid);
// The thread that owns `window` (a worker's box, say), opened while the window exists so it
// can be waited for afterwards.
inline ScopedHandle OpenOwnerThread(HWND window) {
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return ScopedHandle(thread ? ::OpenThread(SYNCHRONIZE, FALSE, thread) : nullptr);
}
