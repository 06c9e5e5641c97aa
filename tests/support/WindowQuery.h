#pragma once
// Finding and reading the windows of another process, and acting on them as a user would.
#include <windows.h>

#include <iterator>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "framework/Text.h"
#include "tests/support/Wait.h"

inline std::string WindowText(HWND window) {
    wchar_t text[4096] = {};
    // WM_GETTEXT is marshalled between processes; GetWindowText would not ask the window.
    ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return WideToUtf8(text);
}
inline std::string WindowClass(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

inline BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}
// Top-level windows of process `pid` (0: any; hidden ones too unless `visibleOnly`); empty
// `className` or `title` match any.
inline std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& className,
                                         const std::string& title = {}, bool visibleOnly = false) {
    // A snapshot first: walking the z-order skips windows that move while it runs, as the
    // main window does when a message box closes.
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::erase_if(windows, [&](HWND window) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        return (pid && owner != pid) || (visibleOnly && !::IsWindowVisible(window)) ||
               (!className.empty() && WindowClass(window) != className) ||
               (!title.empty() && WindowText(window) != title);
    });
    return windows;
}
inline HWND FindTopLevel(DWORD pid, const std::string& className, const std::string& title) {
    auto windows = TopLevelWindows(pid, className, title);
    return windows.empty() ? nullptr : windows.front();
}
// Waits for a visible one (a dialog by default); null on timeout.
inline HWND WaitForWindow(DWORD pid, const std::string& title,
                          const std::string& className = "#32770", DWORD timeoutMs = 20000) {
    std::vector<HWND> found;
    WaitUntil([&] { return !(found = TopLevelWindows(pid, className, title, true)).empty(); },
              timeoutMs);
    return found.empty() ? nullptr : found.back();
}
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
// Visible message boxes of `pid`: "#32770" dialogs whose text is the static 0xFFFF.
inline std::vector<HWND> MessageBoxes(DWORD pid) {
    std::vector<HWND> boxes = TopLevelWindows(pid, "#32770", {}, true);
    std::erase_if(boxes, [](HWND box) { return !::GetDlgItem(box, 0xFFFF); });
    return boxes;
}
// Whether any visible message box of `pid` is up now.
inline bool AnyMessageBox(DWORD pid) { return !MessageBoxes(pid).empty(); }
// Waits for a visible message box of `pid` showing its text; window is null on timeout.
inline MessageBoxInfo WaitForMessageBox(DWORD pid, DWORD timeoutMs = 10000) {
    MessageBoxInfo box;
    WaitUntil(
        [&] {
            for (HWND window : MessageBoxes(pid)) {
                // A box still being laid out shows no text or button yet: read it again.
                box = {window, WindowText(::GetDlgItem(window, 0xFFFF)), {}};
                for (HWND button : ChildWindows(window, "Button"))
                    if (::IsWindowVisible(button)) box.buttons.push_back(::GetDlgCtrlID(button));
                if (!box.text.empty() && !box.buttons.empty()) return true;
            }
            return false;
        },
        timeoutMs);
    return box;
}
// Presses button `id` of the box and waits until the box is gone.
inline bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
    if (!box.window || !::GetDlgItem(box.window, buttonId)) return false;
    ClickButton(box.window, buttonId);
    // Gone, not just hidden: a message box hides before its modal loop ends, and a click
    // posted to the program in between can be taken by that loop and dropped.
    return WaitUntil([&] { return !::IsWindow(box.window); });
}
// The thread that owns `window` (a worker's box, say), opened while the window exists so it
// can be waited for afterwards.
inline ScopedHandle OpenOwnerThread(HWND window) {
    DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
    return ScopedHandle(thread ? ::OpenThread(SYNCHRONIZE, FALSE, thread) : nullptr);
}
