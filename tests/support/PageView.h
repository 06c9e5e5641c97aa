#pragma once
// Reading and driving one page of the running program: its list, result line and buttons.
// List-view messages that carry pointers are not marshalled between processes: rows are read
// and selected through memory allocated inside the program.
#include <windows.h>
#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "tests/support/KoravantApp.h"
#include "tests/support/WindowQuery.h"

// Every row, every column, as the user sees them.
using ListRows = std::vector<std::vector<std::string>>;

class PageView {
  public:
    PageView(const KoravantApp& app, UINT templateId, int listId, int resultId = 0)
        : m_app(app), m_templateId(templateId), m_listId(listId), m_resultId(resultId) {}

    HWND Page() const { return m_app.Page(m_templateId); }
    HWND List() const { return ::GetDlgItem(Page(), m_listId); }
    ListRows Rows() const;
    int RowCount() const {
        return static_cast<int>(::SendMessageA(List(), LVM_GETITEMCOUNT, 0, 0));
    }
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
    bool Select(int row) const;
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
std::string EncodeQuarantineFile(const std::string& origin, const std::string& content);
