#include "tests/support/TrayIcons.h"

#include <commctrl.h>

#include <cstring>

#include "framework/Handles.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr size_t kTextOffset = 256;
constexpr size_t kTextChars = 512;

// TTTOOLINFOW as the taskbar's process lays it out; the taskbar may be 64-bit while this
// program is not.
struct ToolInfoLayout {
    size_t size, hwnd, uId, rect, lpszText;
    bool wide;
};
constexpr ToolInfoLayout kLayout32 = {48, 8, 12, 16, 36, false};
constexpr ToolInfoLayout kLayout64 = {72, 8, 16, 24, 48, true};

bool Is64BitProcess(HANDLE process) {
    BOOL selfWow = FALSE, otherWow = FALSE;
    ::IsWow64Process(::GetCurrentProcess(), &selfWow);
    if (!::IsWow64Process(process, &otherWow)) return sizeof(void*) == 8;
    if (otherWow) return false;
    return selfWow || sizeof(void*) == 8;
}

class RemoteToolInfo {
  public:
    explicit RemoteToolInfo(HWND tooltip) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(tooltip, &pid);
        m_process.reset(::OpenProcess(
            PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE | PROCESS_QUERY_INFORMATION,
            FALSE, pid));
        if (!m_process) return;
        m_layout = Is64BitProcess(m_process.get()) ? kLayout64 : kLayout32;
        m_address = static_cast<char*>(::VirtualAllocEx(m_process.get(), nullptr,
                                                        kTextOffset + kTextChars * 2,
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteToolInfo() {
        if (m_address) ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE);
    }
    RemoteToolInfo(const RemoteToolInfo&) = delete;
    RemoteToolInfo& operator=(const RemoteToolInfo&) = delete;

    bool valid() const { return m_address != nullptr; }

    // Fills the tool at `index`, or returns false.
    bool Read(HWND tooltip, int index, TrayTool* tool) {
        unsigned char info[128] = {};
        Put32(info, 0, static_cast<UINT32>(m_layout.size));
        if (!Write(info) ||
            !::SendMessageW(tooltip, TTM_ENUMTOOLSW, index, reinterpret_cast<LPARAM>(m_address)))
            return false;
        if (!::ReadProcessMemory(m_process.get(), m_address, info, m_layout.size, nullptr))
            return false;
        tool->tooltip = tooltip;
        tool->owner = reinterpret_cast<HWND>(static_cast<UINT_PTR>(Get64(info, m_layout.hwnd)));
        std::memcpy(&tool->rect, info + m_layout.rect, sizeof(RECT));
        // Ask for the text with the same record, now pointing at the text buffer.
        UINT64 text = reinterpret_cast<UINT_PTR>(m_address) + kTextOffset;
        if (m_layout.wide)
            std::memcpy(info + m_layout.lpszText, &text, 8);
        else
            Put32(info, m_layout.lpszText, static_cast<UINT32>(text));
        wchar_t empty = 0;
        ::WriteProcessMemory(m_process.get(), m_address + kTextOffset, &empty, sizeof(empty),
                             nullptr);
        if (!Write(info)) return false;
        ::SendMessageW(tooltip, TTM_GETTEXTW, kTextChars, reinterpret_cast<LPARAM>(m_address));
        wchar_t buffer[kTextChars] = {};
        ::ReadProcessMemory(m_process.get(), m_address + kTextOffset, buffer,
                            sizeof(buffer) - sizeof(wchar_t), nullptr);
        char narrow[kTextChars * 2] = {};
        ::WideCharToMultiByte(CP_ACP, 0, buffer, -1, narrow, sizeof(narrow), nullptr, nullptr);
        tool->text = narrow;
        return true;
    }

  private:
    bool Write(const unsigned char* info) {
        return ::WriteProcessMemory(m_process.get(), m_address, info, m_layout.size, nullptr);
    }
    static void Put32(unsigned char* info, size_t offset, UINT32 value) {
        std::memcpy(info + offset, &value, 4);
    }
    UINT64 Get64(const unsigned char* info, size_t offset) const {
        UINT64 value = 0;
        std::memcpy(&value, info + offset, m_layout.wide ? 8 : 4);
        return value;
    }

    ScopedHandle m_process;
    ToolInfoLayout m_layout = kLayout32;
    char* m_address = nullptr;
};

bool HasArea(const RECT& rect) { return rect.right > rect.left && rect.bottom > rect.top; }
}  // namespace

HWND FindTaskbar() { return ::FindWindowA("Shell_TrayWnd", nullptr); }

std::vector<TrayTool> ReadTrayTools() {
    std::vector<TrayTool> tools;
    HWND taskbar = FindTaskbar();
    if (!taskbar) return tools;
    DWORD pid = 0;
    ::GetWindowThreadProcessId(taskbar, &pid);
    for (HWND tooltip : TopLevelWindows(pid, TOOLTIPS_CLASSA)) {
        RemoteToolInfo remote(tooltip);
        if (!remote.valid()) continue;
        int count = static_cast<int>(::SendMessageW(tooltip, TTM_GETTOOLCOUNT, 0, 0));
        for (int index = 0; index < count; ++index) {
            TrayTool tool;
            if (remote.Read(tooltip, index, &tool)) tools.push_back(tool);
        }
    }
    return tools;
}

int CountShownTrayIcons(const std::string& tip) {
    int count = 0;
    for (const TrayTool& tool : ReadTrayTools())
        if (tool.text == tip && HasArea(tool.rect)) ++count;
    return count;
}

std::optional<POINT> TrayIconCentre(const std::string& tip) {
    for (const TrayTool& tool : ReadTrayTools()) {
        if (tool.text != tip || !HasArea(tool.rect)) continue;
        POINT centre = {(tool.rect.left + tool.rect.right) / 2,
                        (tool.rect.top + tool.rect.bottom) / 2};
        ::ClientToScreen(tool.owner, &centre);
        return centre;
    }
    return std::nullopt;
}

TaskbarOutage::TaskbarOutage() : m_taskbar(FindTaskbar()) {
    if (!m_taskbar) return;
    ::GetWindowRect(m_taskbar, &m_rect);
    m_holder = ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                 ::GetModuleHandleA(nullptr), nullptr);
    if (m_holder) ::SetParent(m_taskbar, m_holder);
}

void TaskbarOutage::End() {
    if (!m_holder) return;
    ::SetParent(m_taskbar, ::GetDesktopWindow());
    ::SetWindowPos(m_taskbar, nullptr, m_rect.left, m_rect.top, m_rect.right - m_rect.left,
                   m_rect.bottom - m_rect.top, SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
    ::DestroyWindow(m_holder);
    m_holder = nullptr;
}
