#include "tests/support/PageView.h"

#include "framework/Text.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kMarker[] = "kestrelvane";
constexpr char kMarkerUtf8[] = "kestrelutf8";
constexpr unsigned char kShift = 0x1D;

// The main window is made hidden and then posts itself the close command that hides it at
// start-up; a restore that comes before that command is undone by it. This restores until
// the window stays shown.
bool BringForwardSettled(HWND main) {
    for (int attempt = 0; attempt < 5; ++attempt) {
        ::ShowWindow(main, SW_RESTORE);
        // A restore undone at once may never be seen shown: try again soon.
        if (!WaitUntil([&] { return ::IsWindowVisible(main) != FALSE; }, 1000, 5)) continue;
        if (!WaitUntil([&] { return !::IsWindowVisible(main); }, 300)) return true;
    }
    return false;
}
}  // namespace

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
    for (size_t row = 0; row < cells.size(); ++row)
        if (cells[row] == text) return static_cast<int>(row);
    return -1;
}

std::string PageView::ResultLine() const {
    return m_resultId ? WindowText(::GetDlgItem(Page(), m_resultId)) : std::string();
}

bool PageView::IsEnabled(int controlId) const {
    return ::IsWindowEnabled(::GetDlgItem(Page(), controlId)) != FALSE;
}

void PageView::Click(int controlId) const { ClickButton(Page(), controlId); }

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
            for (const std::string& cell : states)
                if (cell != state) return false;
            return !states.empty();
        },
        timeoutMs, 50);
}

bool PageView::Open(int buttonId) const {
    if (!BringForwardSettled(m_app.MainWindow())) return false;
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
