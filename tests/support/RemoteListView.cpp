#include "tests/support/RemoteListView.h"

#include <commctrl.h>

#include "framework/Handles.h"
#include "framework/Text.h"

namespace {
// A block of memory inside the process that owns a window.
class RemoteBlock {
  public:
    RemoteBlock(HWND window, size_t size) : m_size(size) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        m_process.reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        if (m_process)
            m_address = ::VirtualAllocEx(m_process.get(), nullptr, size, MEM_COMMIT | MEM_RESERVE,
                                         PAGE_READWRITE);
    }
    ~RemoteBlock() {
        if (m_address) ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE);
    }
    RemoteBlock(const RemoteBlock&) = delete;
    RemoteBlock& operator=(const RemoteBlock&) = delete;

    bool valid() const { return m_address != nullptr; }
    char* address() const { return static_cast<char*>(m_address); }
    bool Write(size_t offset, const void* data, size_t size) const {
        return offset + size <= m_size &&
               ::WriteProcessMemory(m_process.get(), address() + offset, data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return offset + size <= m_size &&
               ::ReadProcessMemory(m_process.get(), address() + offset, data, size, nullptr);
    }

  private:
    ScopedHandle m_process;
    void* m_address = nullptr;
    size_t m_size;
};

constexpr size_t kTextOffset = 512;
constexpr size_t kTextChars = 4096;
constexpr size_t kTextSize = kTextChars * sizeof(wchar_t);

std::string RemoteItemText(HWND list, const RemoteBlock& block, int row, int column) {
    LVITEMW item = {};
    item.iSubItem = column;
    item.pszText = reinterpret_cast<wchar_t*>(block.address() + kTextOffset);
    item.cchTextMax = static_cast<int>(kTextChars);
    wchar_t empty = 0;
    block.Write(kTextOffset, &empty, sizeof(empty));
    if (!block.Write(0, &item, sizeof(item))) return {};
    ::SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(block.address()));
    std::wstring text(kTextChars, L'\0');
    block.Read(kTextOffset, text.data(), kTextSize);
    text.resize(wcsnlen(text.data(), kTextChars));
    return WideToUtf8(text);
}

int ListColumnCount(HWND list) {
    HWND header = reinterpret_cast<HWND>(::SendMessageA(list, LVM_GETHEADER, 0, 0));
    return header ? static_cast<int>(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}
}  // namespace

int ListRowCount(HWND list) {
    return static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
}

ListRows ReadListView(HWND list) {
    ListRows rows;
    RemoteBlock block(list, kTextOffset + kTextSize);
    if (!block.valid()) return rows;
    int columns = ListColumnCount(list);
    int count = ListRowCount(list);
    for (int row = 0; row < count; ++row) {
        std::vector<std::string> cells;
        for (int column = 0; column < columns; ++column)
            cells.push_back(RemoteItemText(list, block, row, column));
        rows.push_back(std::move(cells));
    }
    return rows;
}

bool SelectListRow(HWND list, int row) {
    RemoteBlock block(list, sizeof(LVITEMA));
    if (!block.valid()) return false;
    LVITEMA item = {};
    item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
    item.state = 0;
    block.Write(0, &item, sizeof(item));
    ::SendMessageA(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(block.address()));
    if (row < 0) return true;
    item.state = LVIS_SELECTED | LVIS_FOCUSED;
    block.Write(0, &item, sizeof(item));
    return ::SendMessageA(list, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(block.address())) !=
           0;
}

int SelectedListRow(HWND list) {
    return static_cast<int>(
        ::SendMessageA(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}
