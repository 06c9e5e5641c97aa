#include "tests/support/PageView.h"

#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kMarker[] = "kestrelvane";
constexpr size_t kMarkerLength = sizeof(kMarker) - 1;
constexpr unsigned char kShift = 0x1D;
}  // namespace

std::string PageView::ResultLine() const {
    return m_resultId ? WindowText(Control(m_resultId)) : std::string();
}

std::string PageView::Cell(int row, int column) const {
    ListRows rows = Rows();
    if (row < 0 || static_cast<size_t>(row) >= rows.size()) return {};
    const auto& cells = rows[static_cast<size_t>(row)];
    return static_cast<size_t>(column) < cells.size() ? cells[static_cast<size_t>(column)]
                                                      : std::string();
}

int PageView::RowOf(const std::string& text) const {
    ListRows rows = Rows();
    for (size_t row = 0; row < rows.size(); ++row)
        if (!rows[row].empty() && rows[row][0] == text) return static_cast<int>(row);
    return -1;
}

void PageView::Click(int controlId) const { ClickButton(Page(), controlId); }

bool PageView::WaitForRowCount(int count, DWORD timeoutMs) const {
    return WaitUntil([&] { return RowCount() == count; }, timeoutMs);
}

bool PageView::WaitForResultLine(const std::string& text, DWORD timeoutMs) const {
    return WaitUntil([&] { return ResultLine() == text; }, timeoutMs);
}

bool PageView::WaitForAllStates(const std::string& state, DWORD timeoutMs) const {
    return WaitUntil(
        [&] {
            ListRows rows = Rows();
            if (rows.empty()) return false;
            for (const auto& row : rows)
                if (row.size() < 2 || row[1] != state) return false;
            return true;
        },
        timeoutMs, 50);
}

std::string EncodeQuarantineFile(const std::string& origin, const std::string& content) {
    std::string bytes = kMarker + origin + "\r\n";
    for (char c : content) bytes += static_cast<char>(static_cast<unsigned char>(c) + kShift);
    return bytes;
}

bool DecodeQuarantineFile(const std::string& bytes, std::string* origin, std::string* content) {
    if (bytes.compare(0, kMarkerLength, kMarker) != 0) return false;
    size_t lineEnd = bytes.find("\r\n", kMarkerLength);
    if (lineEnd == std::string::npos) return false;
    *origin = bytes.substr(kMarkerLength, lineEnd - kMarkerLength);
    content->clear();
    for (size_t i = lineEnd + 2; i < bytes.size(); ++i)
        content->push_back(static_cast<char>(static_cast<unsigned char>(bytes[i]) - kShift));
    return true;
}
