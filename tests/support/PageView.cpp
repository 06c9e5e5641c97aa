#include "tests/support/PageView.h"

#include <algorithm>

#include "framework/Handles.h"
#include "framework/Text.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kMarker[] = "kestrelvane";
constexpr char kMarkerUtf8[] = "kestrelutf8";
constexpr unsigned char kShift = 0x1D;
constexpr size_t kTextOffset = 512, kTextChars = 4096;

// A block of memory inside the process that owns a window.
class RemoteBlock {
  public:
    explicit RemoteBlock(HWND window) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        m_process.reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (m_process)
            m_address = static_cast<char*>(::VirtualAllocEx(
                m_process.get(), nullptr, kSize, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteBlock() {
        if (m_address) ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    char* address() const { return m_address; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return m_address &&
               ::WriteProcessMemory(m_process.get(), m_address + offset, data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return m_address &&
               ::ReadProcessMemory(m_process.get(), m_address + offset, data, size, nullptr);
    }
    static constexpr size_t kSize = kTextOffset + kTextChars * sizeof(wchar_t);

  private:
    ScopedHandle m_process;
    char* m_address = nullptr;
};

std::string RemoteItemText(HWND list, const RemoteBlock& block, int row, int column) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(block.address() + kTextOffset);
    item.cchTextMax = static_cast<int>(kTextChars);
    std::wstring text(kTextChars, L'\0');
    if (!block.Write(kTextOffset, text.data(), sizeof(wchar_t)) ||
        !block.Write(0, &item, sizeof(item)))
        return {};
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.address()));
    block.Read(kTextOffset, text.data(), kTextChars * sizeof(wchar_t));
    text.resize(wcsnlen(text.data(), kTextChars));
    return WideToUtf8(text);
}

}  // namespace

ListRows PageView::Rows() const {
    ListRows rows;
    RemoteBlock block(List());
    HWND header = reinterpret_cast<HWND>(::SendMessageA(List(), LVM_GETHEADER, 0, 0));
    int columns = header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
    for (int row = 0, count = RowCount(); block.address() && row < count; ++row) {
        rows.emplace_back();
        for (int column = 0; column < columns; ++column)
            rows.back().push_back(RemoteItemText(List(), block, row, column));
    }
    return rows;
}

bool PageView::Select(int row) const {
    RemoteBlock block(List());
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    block.Write(0, &item, sizeof(item));
    ::SendMessageA(List(), LVM_SETITEMSTATE, WPARAM(-1), reinterpret_cast<LPARAM>(block.address()));
    if (row < 0) return block.address() != nullptr;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    return block.Write(0, &item, sizeof(item)) &&
           ::SendMessageA(List(), LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.address()));
}

std::vector<std::string> PageView::Column(int column) const {
    std::vector<std::string> cells;
    for (const auto& row : Rows())
        cells.push_back(static_cast<size_t>(column) < row.size() ? row[column] : std::string());
    return cells;
}

std::string PageView::Cell(int row, int column) const {
    std::vector<std::string> cells = Column(column);
    return row >= 0 && static_cast<size_t>(row) < cells.size() ? cells[row] : std::string();
}

int PageView::RowOf(const std::string& text) const {
    std::vector<std::string> cells = Column(0);
    auto found = std::find(cells.begin(), cells.end(), text);
    return found == cells.end() ? -1 : static_cast<int>(found - cells.begin());
}

bool PageView::SendClick(int controlId, DWORD timeoutMs) const {
    DWORD_PTR answer = 0;
    return ::SendMessageTimeoutA(Page(), WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                                 reinterpret_cast<LPARAM>(::GetDlgItem(Page(), controlId)),
                                 SMTO_NORMAL, timeoutMs, &answer) != 0;
}

bool PageView::WaitForResultLine(const std::string& text, DWORD timeoutMs) const {
    return WaitUntil([&] { return ResultLine() == text; }, timeoutMs);
}

bool PageView::WaitForAllStates(const std::string& state, DWORD timeoutMs) const {
    return WaitUntil(
        [&] {
            std::vector<std::string> states = Column(1);
            return !states.empty() && std::ranges::count(states, state) == std::ssize(states);
        },
        timeoutMs, 50);
}

bool PageView::Open(int buttonId) const {
    if (!m_app.BringForward()) return false;
    ClickButton(m_app.MainWindow(), buttonId);
    return WaitUntil([&] { return m_app.VisiblePage() == m_templateId; });
}

std::string EncodeQuarantineFile(const std::string& origin, const std::string& content) {
    bool exact = false;
    std::string ansi = Utf8ToAnsi(origin, &exact);
    std::string bytes = exact ? kMarker + ansi + "\r\n" : kMarkerUtf8 + origin + "\r\n";
    for (char c : content) bytes += static_cast<char>(static_cast<unsigned char>(c) + kShift);
    return bytes;
}
