#pragma once
// Reading and driving one page of the running program: its list, result line and buttons.
// List-view messages that carry pointers are not marshalled between processes: rows are read
// and selected through memory allocated inside the program.
#include <windows.h>
#include <commctrl.h>

#include "tests/support/KoravantApp.h"

// A list-view item record inside the process that owns the list, its text buffer after it;
// the handle keeps it uncopyable.
class RemoteItem {
  public:
    static constexpr int kTextChars = 4096;

    explicit RemoteItem(HWND list) : m_list(list) {
        DWORD pid = 0;
        ::GetWindowThreadProcessId(list, &pid);
        m_process.reset(
            ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, pid));
        m_address = static_cast<char*>(::VirtualAllocEx(
            m_process.get(), nullptr, sizeof(LVITEMW) + kTextChars * sizeof(wchar_t),
            MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE));
    }
    ~RemoteItem() { ::VirtualFreeEx(m_process.get(), m_address, 0, MEM_RELEASE); }

    bool Valid() const { return m_address != nullptr; }
    // Sends `message` about `row` with a copy of `item` whose text is the buffer, emptied first;
    // 0 when the copy failed.
    LRESULT Send(UINT message, WPARAM row, LVITEMW item) const {
        const wchar_t empty = 0;  // a failed allocation fails the copy
        item.pszText = reinterpret_cast<wchar_t*>(m_address + sizeof(item));
        item.cchTextMax = kTextChars;
        HANDLE process = m_process.get();
        if (!::WriteProcessMemory(process, m_address, &item, sizeof(item), nullptr) ||
            !::WriteProcessMemory(process, item.pszText, &empty, sizeof(empty), nullptr))
            return 0;
        return ::SendMessageW(m_list, message, row, reinterpret_cast<LPARAM>(m_address));
    }
    std::string Text() const {
        std::wstring text(kTextChars, L'\0');
        ::ReadProcessMemory(m_process.get(), m_address + sizeof(LVITEMW), text.data(),
                            kTextChars * sizeof(wchar_t), nullptr);
        return WideToUtf8(text.substr(0, wcsnlen(text.data(), kTextChars)));
    }

  private:
    HWND m_list;
    ScopedHandle m_process;
    char* m_address = nullptr;
};

// Every row, every column, as the user sees them.
using ListRows = std::vector<std::vector<std::string>>;

class PageView {
  public:
    PageView(const KoravantApp& app, UINT templateId, int listId, int resultId = 0)
        : m_app(app), m_templateId(templateId), m_listId(listId), m_resultId(resultId) {}

    HWND Page() const { return m_app.Page(m_templateId); }
    HWND List() const { return ::GetDlgItem(Page(), m_listId); }
    ListRows Rows() const {
        RemoteItem remote(List());
        HWND header = reinterpret_cast<HWND>(::SendMessageA(List(), LVM_GETHEADER, 0, 0));
        int columns = header ? int(::SendMessageA(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
        ListRows rows(remote.Valid() ? RowCount() : 0, std::vector<std::string>(columns));
        LVITEMW item = {};
        for (int row = 0; row < std::ssize(rows); ++row)
            for (item.iSubItem = 0; item.iSubItem < columns; ++item.iSubItem)
                if (remote.Send(LVM_GETITEMTEXTW, row, item))
                    rows[row][item.iSubItem] = remote.Text();
        return rows;
    }
    int RowCount() const { return int(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0)); }
    // Column `column` of every row.
    std::vector<std::string> Column(int column) const {
        std::vector<std::string> cells;
        for (const auto& row : Rows()) cells.push_back(column < std::ssize(row) ? row[column] : "");
        return cells;
    }
    // One cell, "" when the row or column is not there.
    std::string Cell(int row, int column) const {
        std::vector<std::string> cells = Column(column);
        return row >= 0 && row < std::ssize(cells) ? cells[row] : "";
    }
    // The row whose column 0 reads `text`, or -1.
    int RowOf(const std::string& text) const {
        std::vector<std::string> cells = Column(0);
        auto found = std::ranges::find(cells, text);
        return found == cells.end() ? -1 : static_cast<int>(found - cells.begin());
    }
    int SelectedRow() const {
        return static_cast<int>(::SendMessageA(List(), LVM_GETNEXTITEM, WPARAM(-1), LVNI_SELECTED));
    }
    std::string ResultLine() const { return WindowText(::GetDlgItem(Page(), m_resultId)); }
    bool IsEnabled(int id) const { return ::IsWindowEnabled(::GetDlgItem(Page(), id)) != FALSE; }
    // Selects and focuses row `row` alone (or clears the selection for -1).
    bool Select(int row) const {
        RemoteItem remote(List());
        LVITEMW item = {};
        item.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
        remote.Send(LVM_SETITEMSTATE, WPARAM(-1), item);
        item.state = item.stateMask;
        return row < 0 ? remote.Valid() : remote.Send(LVM_SETITEMSTATE, row, item) != 0;
    }
    void Click(int controlId) const { ClickButton(Page(), controlId); }
    // Sends a click and returns once the page's handler has (for commands that start a worker
    // and return at once; one that shows a message box keeps this waiting until `timeoutMs`).
    bool SendClick(int controlId, DWORD timeoutMs = 5000) const {
        return ::SendMessageTimeoutA(Page(), WM_COMMAND, MAKEWPARAM(controlId, BN_CLICKED),
                                     reinterpret_cast<LPARAM>(::GetDlgItem(Page(), controlId)),
                                     SMTO_NORMAL, timeoutMs, nullptr) != 0;
    }
    bool WaitForResultLine(const std::string& text, DWORD timeoutMs = 10000) const {
        return WaitUntil([&] { return ResultLine() == text; }, timeoutMs);
    }
    // Waits until every row's column 1 reads `state`.
    bool WaitForAllStates(const std::string& state, DWORD timeoutMs = 10000) const {
        auto all = [&] {
            std::vector<std::string> states = Column(1);
            return !states.empty() && std::ranges::count(states, state) == std::ssize(states);
        };
        return WaitUntil(all, timeoutMs, 50);
    }
    // Brings the hidden window forward and presses page button `buttonId`; true once this page
    // is the one shown.
    bool Open(int buttonId) const {
        if (!m_app.BringForward()) return false;
        ClickButton(m_app.MainWindow(), buttonId);
        return WaitUntil([&] { return m_app.VisiblePage() == m_templateId; });
    }

  private:
    const KoravantApp& m_app;
    UINT m_templateId;
    int m_listId;
    int m_resultId;
};

// The quarantine file for `origin` (UTF-8) with `content`, built by hand from the format:
// marker, path, CR LF, every byte plus 0x1D. A path the ANSI code page spells goes in ANSI
// after "kestrelvane", any other in UTF-8 after "kestrelutf8".
inline std::string EncodeQuarantineFile(const std::string& origin, const std::string& content) {
    bool exact = false;
    std::string ansi = Utf8ToAnsi(origin, &exact);
    std::string bytes = (exact ? "kestrelvane" + ansi : "kestrelutf8" + origin) + "\r\n";
    for (char c : content) bytes += static_cast<char>(c + 0x1D);
    return bytes;
}
