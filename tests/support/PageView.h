#pragma once
// Reading and driving one page of the running program: its list, result line and buttons.
#include <windows.h>

#include <string>

#include "tests/support/KoravantApp.h"
#include "tests/support/RemoteListView.h"

class PageView {
  public:
    PageView(const KoravantApp& app, UINT templateId, int listId, int resultId = 0)
        : m_app(app), m_templateId(templateId), m_listId(listId), m_resultId(resultId) {}

    HWND Page() const { return m_app.Page(m_templateId); }
    HWND List() const { return ::GetDlgItem(Page(), m_listId); }
    HWND Control(int id) const { return ::GetDlgItem(Page(), id); }
    ListRows Rows() const { return ReadListView(List()); }
    int RowCount() const { return ListRowCount(List()); }
    // One cell, "" when the row or column is not there.
    std::string Cell(int row, int column) const;
    // The row whose column 0 reads `text`, or -1.
    int RowOf(const std::string& text) const;
    std::string ResultLine() const;
    bool IsEnabled(int controlId) const { return ::IsWindowEnabled(Control(controlId)) != FALSE; }
    void Click(int controlId) const;
    bool Select(int row) const { return SelectListRow(List(), row); }
    bool WaitForRowCount(int count, DWORD timeoutMs = 10000) const;
    bool WaitForResultLine(const std::string& text, DWORD timeoutMs = 10000) const;
    // Waits until every row's column 1 reads `state`.
    bool WaitForAllStates(const std::string& state, DWORD timeoutMs = 10000) const;

  private:
    const KoravantApp& m_app;
    UINT m_templateId;
    int m_listId;
    int m_resultId;
};

// The quarantine file for `origin` with `content`, built by hand from the format: marker,
// path, CR LF, every byte plus 0x1D.
std::string EncodeQuarantineFile(const std::string& origin, const std::string& content);
// The origin and decoded content of a quarantine file's bytes; false without the marker.
bool DecodeQuarantineFile(const std::string& bytes, std::string* origin, std::string* content);
