#include "tests/support/WindowQuery.h"

#include <iterator>

#include "framework/Text.h"
#include "tests/support/Wait.h"

std::string WindowText(HWND window) {
    wchar_t text[4096] = {};
    // WM_GETTEXT is marshalled between processes; GetWindowText would not ask the window.
    ::SendMessageTimeoutW(window, WM_GETTEXT, std::size(text), reinterpret_cast<LPARAM>(text),
                          SMTO_ABORTIFHUNG, 2000, nullptr);
    return WideToUtf8(text);
}

std::string WindowClass(HWND window) {
    char name[256] = {};
    ::GetClassNameA(window, name, sizeof(name));
    return name;
}

namespace {
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Message boxes are "#32770" dialogs whose text is the static 0xFFFF.
bool IsMessageBox(HWND window) {
    return ::GetDlgItem(window, 0xFFFF) != nullptr && ::IsWindowVisible(window);
}

// Top-level windows of process `pid` (0: any; hidden ones too); empty `className` or `title`
// match any.
std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& className,
                                  const std::string& title = {}) {
    // A snapshot first: walking the z-order skips windows that move while it runs, as the
    // main window does when a message box closes.
    std::vector<HWND> all, found;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&all));
    for (HWND window : all) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        if (pid && owner != pid) continue;
        if (!className.empty() && WindowClass(window) != className) continue;
        if (!title.empty() && WindowText(window) != title) continue;
        found.push_back(window);
    }
    return found;
}
}  // namespace

HWND FindTopLevel(DWORD pid, const std::string& className, const std::string& title) {
    auto windows = TopLevelWindows(pid, className, title);
    return windows.empty() ? nullptr : windows.front();
}

HWND WaitForWindow(DWORD pid, const std::string& title, const std::string& className,
                   DWORD timeoutMs) {
    HWND found = nullptr;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid, className, title))
                if (::IsWindowVisible(window)) found = window;
            return found != nullptr;
        },
        timeoutMs);
    return found;
}

std::vector<HWND> ChildWindows(HWND parent, const std::string& className) {
    std::vector<HWND> found;
    for (HWND child = ::GetWindow(parent, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (className.empty() || WindowClass(child) == className) found.push_back(child);
    return found;
}

void ClickButton(HWND dialog, int controlId) {
    HWND control = ::GetDlgItem(dialog, controlId);
    ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                   reinterpret_cast<LPARAM>(control));
}

void PostCommand(HWND window, UINT commandId) {
    ::PostMessageA(window, WM_COMMAND, MAKEWPARAM(commandId, 0), 0);
}

void PressKey(HWND window, UINT virtualKey) {
    ::PostMessageA(window, WM_KEYDOWN, virtualKey, 1);
    ::PostMessageA(window, WM_KEYUP, virtualKey, 0xC0000001);
}

bool AnyMessageBox(DWORD pid) {
    for (HWND window : TopLevelWindows(pid, "#32770"))
        if (IsMessageBox(window)) return true;
    return false;
}

MessageBoxInfo WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
    MessageBoxInfo box;
    WaitUntil(
        [&] {
            for (HWND window : TopLevelWindows(pid, "#32770")) {
                if (!IsMessageBox(window)) continue;
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

bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
    if (!box.window || !::GetDlgItem(box.window, buttonId)) return false;
    ClickButton(box.window, buttonId);
    // Gone, not just hidden: a message box hides before its modal loop ends, and a click
    // posted to the program in between can be taken by that loop and dropped.
    return WaitUntil([&] { return !::IsWindow(box.window); });
}

ScopedHandle OpenOwnerThread(HWND window) {
    DWORD threadId = ::GetWindowThreadProcessId(window, nullptr);
    return ScopedHandle(threadId ? ::OpenThread(SYNCHRONIZE, FALSE, threadId) : nullptr);
}
