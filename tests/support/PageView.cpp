#include "tests/support/PageView.h"

#include "framework/Handles.h"
#include "framework/Text.h"

namespace {
constexpr size_t kTextOffset = 512, kTextChars = 4096;

// A block of memory inside the process that owns a window; the handle keeps it uncopyable.
class RemoteBlock {
  public:
    explicit RemoteBlock(HWND window) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(window, &pid);
        m_process.reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        m_address = static_cast<char*>(::VirtualAllocEx(m_process.get(), nullptr,
                                                        kTextOffset + kTextChars * sizeof(wchar_t),
                                                        MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteBlock() { ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE); }

    char* address() const { return m_address; }
    bool Write(size_t offset, const void* data, size_t size) const {
        return m_address &&
               ::WriteProcessMemory(m_process.get(), m_address + offset, data, size, nullptr);
    }
    bool Read(size_t offset, void* data, size_t size) const {
        return m_address &&
               ::ReadProcessMemory(m_process.get(), m_address + offset, data, size, nullptr);
    }

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
    return WideToUtf8(text.substr(0, wcsnlen(text.data(), kTextChars)));
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

std::string EncodeQuarantineFile(const std::string& origin, const std::string& content) {
    bool exact = false;
    std::string ansi = Utf8ToAnsi(origin, &exact);
    std::string bytes = (exact ? "kestrelvane" + ansi : "kestrelutf8" + origin) + "\r\n";
    for (char c : content) bytes += static_cast<char>(c + 0x1D);
    return bytes;
}
