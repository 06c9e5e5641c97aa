#pragma once
// Reading and driving one page of the running program: its list, result line and buttons.
#include <windows.h>

#include <string>
#include <vector>

#include "tests/support/KoravantApp.h"
#include "tests/support/RemoteListView.h"

class PageView {
  public:
    PageView(const KoravantApp& app, UINT templateId, int listId, int resultId = 0)
        : m_app(app), m_templateId(templateId), m_listId(listId), m_resultId(resultId) {}

    HWND Page() const { return m_app.Page(m_templateId); }
    HWND List() const { return ::GetDlgItem(Page(), m_listId); }
    ListRows Rows() const { return ReadListView(List()); }
    int RowCount() const { return ListRowCount(List()); }
    // Column `column` of every row.
    std::vector<std::string> Column(int column) const;
    // One cell, "" when the row or column is not there.
    std::string Cell(int row, int column) const;
    // The row whose column 0 reads `text`, or -1.
    int RowOf(const std::string& text) const;
    std::string ResultLine() const;
    bool IsEnabled(int controlId) const;
    bool Select(int row) const { return SelectListRow(List(), row); }
    void Click(int controlId) const;
    // Sends a click and returns once the page's handler has (for commands that start a worker
    // and return at once; one that shows a message box keeps this waiting until `timeoutMs`).
    bool SendClick(int controlId, DWORD timeoutMs = 5000) const;
    bool WaitForResultLine(const std::string& text, DWORD timeoutMs = 10000) const;
    // Waits until every row's column 1 reads `state`.
    bool WaitForAllStates(const std::string& state, DWORD timeoutMs = 10000) const;
    // Brings the hidden window forward and presses page button `buttonId`; true once this page
    // is the one shown.
    bool Open(int buttonId) const;

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
