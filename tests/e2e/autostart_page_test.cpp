// The autostart page: rows in location order, and Delete removes exactly the row's own entry.
#include <shlobj.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kRefresh = 1035, kDelete = 1036;
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";

class AutostartPageTest : public ProgramTest {
  protected:
    AutostartPageTest() : ProgramTest("autostart-page") {}

    // Every row of that name as {application, command, location}, in the list's order.
    ListRows RowsNamed(const std::string& name) const {
        ListRows rows = page.Rows();
        std::erase_if(rows, [&](const auto& row) { return row[0] != name; });
        return rows;
    }

    PlantedValues planted;
    PageView page{app, 159, 1034};
};
}  // namespace

TEST_F(AutostartPageTest, RowsInLocationOrderRefreshAndDeleteReachOnlyTheRowsOwnEntry) {
    // Delete on an empty list: the scan page's test.
    char startup[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, startup, CSIDL_STARTUP, TRUE));
    const std::string file = std::string(startup) + "\\tool.cmd";
    ASSERT_TRUE(app.StartHidden() && page.Open(1009));

    // Added behind the page's back: shown after Refresh.
    ASSERT_TRUE(planted.AddString(HKEY_CURRENT_USER, kRun, kView64, L"Twin", L"C:\\user.exe /m") &&
                planted.AddString(HKEY_LOCAL_MACHINE, kRun, kView64, L"Twin", L"C:\\m64.exe") &&
                planted.AddString(HKEY_LOCAL_MACHINE, kRun, kView32, L"Twin", L"C:\\m32.exe") &&
                WriteFileBytes(file, "@echo off") && page.SendClick(kRefresh));
    const Strings m64{"Twin", "C:\\m64.exe", "HKEY_LOCAL_MACHINE\\" + kRun},
        m32{"Twin", "C:\\m32.exe",
            "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run"};
    EXPECT_EQ(RowsNamed("Twin"),
              (ListRows{m64, m32, {"Twin", "C:\\user.exe /m", "HKEY_CURRENT_USER\\" + kRun}}));
    EXPECT_EQ(RowsNamed("tool.cmd"), (ListRows{{"tool.cmd", file, startup}}));

    page.Select(page.RowOf("Twin") + 1);
    EXPECT_EQ(ClickAndAnswer(page, kDelete, IDCANCEL), "Delete: Twin?");
    // Cancelled, nothing went. A Refresh that finds another text, with as many rows, replaces
    // them and drops the selection: Delete cannot reach what now stands in the selected place.
    ASSERT_TRUE(planted.AddString(HKEY_CURRENT_USER, kRun, kView64, L"Twin", L"C:\\user2.exe") &&
                page.SendClick(kRefresh));
    const Strings user{"Twin", "C:\\user2.exe", "HKEY_CURRENT_USER\\" + kRun};
    EXPECT_EQ(RowsNamed("Twin"), (ListRows{m64, m32, user}));
    EXPECT_EQ(ClickAndAnswer(page, kDelete), "Please select an item");
    page.Select(page.RowOf("Twin") + 1);
    EXPECT_EQ(ClickAndAnswer(page, kDelete), "Delete: Twin?");
    ASSERT_TRUE(WaitUntil([&] { return RowsNamed("Twin").size() == 2; }));
    EXPECT_EQ(RowsNamed("Twin"), (ListRows{m64, user}));
    EXPECT_EQ(ReadStringValue(HKEY_LOCAL_MACHINE, kRun, kView32, L"Twin"), L"<missing>");

    page.Select(page.RowOf("tool.cmd"));
    EXPECT_EQ(ClickAndAnswer(page, kDelete), "Delete: tool.cmd?");
    EXPECT_TRUE(WaitUntil([&] { return RowsNamed("tool.cmd").empty(); }) && !PathExists(file));
    // Into the quarantine under its own path: the quarantine page's test restores such files.
    EXPECT_EQ(ReadFileBytes(QuarantineFile("tool.cmd.kv")),
              EncodeQuarantineFile(file, "@echo off"));
}
