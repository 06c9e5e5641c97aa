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

namespace {
BOOL CALLBACK CollectWindow(HWND window, LPARAM list) {
    reinterpret_cast<std::vector<HWND>*>(list)->push_back(window);
    return TRUE;
}

// Top-level windows of process `pid` (0: any; hidden ones too); empty `className` or `title`
// match any.
std::vector<HWND> TopLevelWindows(DWORD pid, const std::string& className,
                                  const std::string& title = {}) {
    // A snapshot first: walking the z-order skips windows that move while it runs, as the
    // main window does when a message box closes.
    std::vector<HWND> windows;
    ::EnumWindows(CollectWindow, reinterpret_cast<LPARAM>(&windows));
    std::erase_if(windows, [&](HWND window) {
        DWORD owner = 0;
        ::GetWindowThreadProcessId(window, &owner);
        return (pid && owner != pid) || (!className.empty() && WindowClass(window) != className) ||
               (!title.empty() && WindowText(window) != title);
    });
    return windows;
}

// Visible message boxes: "#32770" dialogs whose text is the static 0xFFFF.
std::vector<HWND> MessageBoxes(DWORD pid) {
    std::vector<HWND> boxes = TopLevelWindows(pid, "#32770");
    std::erase_if(boxes,
                  [](HWND box) { return !::GetDlgItem(box, 0xFFFF) || !::IsWindowVisible(box); });
    return boxes;
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

bool AnyMessageBox(DWORD pid) { return !MessageBoxes(pid).empty(); }

MessageBoxInfo WaitForMessageBox(DWORD pid, DWORD timeoutMs) {
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

bool AnswerMessageBox(const MessageBoxInfo& box, int buttonId) {
    if (!box.window || !::GetDlgItem(box.window, buttonId)) return false;
    ClickButton(box.window, buttonId);
    // Gone, not just hidden: a message box hides before its modal loop ends, and a click
    // posted to the program in between can be taken by that loop and dropped.
    return WaitUntil([&] { return !::IsWindow(box.window); });
}
