// The autostart page from end to end: values planted in the registry and files in the Startup
// folder are listed in location order, and Delete removes exactly the row's own entry.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "tests/support/PageView.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kPageButton = 1009, kRefresh = 1035, kDelete = 1036;
constexpr int kQuarantineButton = 1011, kQuarantineRefresh = 1002, kQuarantineRestore = 1003;
const std::string kRun = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
const std::string kRunServices = "Software\\Microsoft\\Windows\\CurrentVersion\\RunServices";
const std::string kCuRun = "HKEY_CURRENT_USER\\" + kRun, kLmRun = "HKEY_LOCAL_MACHINE\\" + kRun;
const std::string kWow32Run =
    "HKEY_LOCAL_MACHINE\\Software\\Wow6432Node\\Microsoft\\Windows\\CurrentVersion\\Run";

std::string StartupFolder() {
    char folder[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, folder, CSIDL_STARTUP, TRUE);
    return folder;
}

class AutostartPageTest : public ProgramTest {
  protected:
    AutostartPageTest() : ProgramTest("autostart-page") {}

    bool Plant(HKEY root, const std::string& name, const std::string& command,
               REGSAM view = kView64) {
        return planted.AddString(root, kRun, view, Wide(name), Wide(command));
    }
    static std::wstring Wide(const std::string& ascii) {
        return std::wstring(ascii.begin(), ascii.end());
    }
    // Every row as {application, command, location}, in the list's order.
    ListRows RowsNamed(const std::string& name) const {
        ListRows rows = page.Rows();
        std::erase_if(rows, [&](const auto& row) { return row[0] != name; });
        return rows;
    }
    bool RowCountBecomes(const std::string& name, size_t count) const {
        return WaitUntil([&] { return RowsNamed(name).size() == count; });
    }

    PlantedValues planted;
    PageView page{app, 159, 1034};
};
}  // namespace

TEST_F(AutostartPageTest, RowsInLocationOrderAndDeleteRemovesOnlyItsOwnValue) {
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, "Twin", "C:\\user.exe /min"));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, "Twin", "C:\\machine64.exe"));
    ASSERT_TRUE(Plant(HKEY_LOCAL_MACHINE, "Twin", "C:\\machine32.exe", kView32));
    ASSERT_TRUE(app.StartHidden() && page.Open(kPageButton));
    EXPECT_EQ(ListColumnHeading(page.List(), 2), "Location");
    EXPECT_EQ(ListColumnWidth(page.List(), 1), 400);
    EXPECT_EQ(RowsNamed("Twin"), (ListRows{{"Twin", "C:\\machine64.exe", kLmRun},
                                           {"Twin", "C:\\machine32.exe", kWow32Run},
                                           {"Twin", "C:\\user.exe /min", kCuRun}}));

    page.Select(-1);
    EXPECT_EQ(ClickAndAnswer(page, kDelete), "Please select an item");
    page.Select(page.RowOf("Twin") + 1);
    EXPECT_EQ(ClickAndAnswer(page, kDelete, IDCANCEL), "Delete: Twin?");
    EXPECT_EQ(RowsNamed("Twin").size(), 3u);
    EXPECT_TRUE(RegToolFindsValue("HKLM\\" + kRun, "Twin", 32));
    EXPECT_EQ(ClickAndAnswer(page, kDelete), "Delete: Twin?");
    ASSERT_TRUE(RowCountBecomes("Twin", 2));
    EXPECT_FALSE(RegToolFindsValue("HKLM\\" + kRun, "Twin", 32));
    EXPECT_TRUE(RegToolFindsValue("HKLM\\" + kRun, "Twin", 64));
    EXPECT_TRUE(RegToolFindsValue("HKCU\\" + kRun, "Twin", 64));

    // A value added behind the page's back shows after Refresh.
    ASSERT_TRUE(Plant(HKEY_CURRENT_USER, "Later", "C:\\later.exe"));
    page.Click(kRefresh);
    EXPECT_TRUE(RowCountBecomes("Later", 1));
}

TEST_F(AutostartPageTest, EmptyListSaysNoItemAndAStartupFileComesBackFromTheQuarantine) {
    // The prefix starts Wine's menu builder from RunServices: away while the list is empty.
    struct Aside {
        std::wstring command =
            ReadStringValue(HKEY_LOCAL_MACHINE, kRunServices, kView64, L"winemenubuilder");
        Aside() { RemoveRegistryValue(HKEY_LOCAL_MACHINE, kRunServices, kView64, Name()); }
        ~Aside() { Restore(); }
        void Restore() const {
            if (command != L"<missing>")
                WriteStringValue(HKEY_LOCAL_MACHINE, kRunServices, kView64, Name(), command);
        }
        static const wchar_t* Name() { return L"winemenubuilder"; }
    } builder;
    const std::string file = StartupFolder() + "\\tool.cmd";
    ::DeleteFileA(file.c_str());
    ASSERT_TRUE(app.StartHidden() && page.Open(kPageButton));
    ASSERT_EQ(page.RowCount(), 0) << testing::PrintToString(page.Column(0));
    std::string noItem = ClickAndAnswer(page, kDelete);
    builder.Restore();
    EXPECT_EQ(noItem, "No item");

    ASSERT_TRUE(WriteFileBytes(file, "@echo off"));
    page.Click(kRefresh);
    ASSERT_TRUE(RowCountBecomes("tool.cmd", 1));
    EXPECT_EQ(RowsNamed("tool.cmd"), (ListRows{{"tool.cmd", file, StartupFolder()}}));
    page.Select(page.RowOf("tool.cmd"));
    EXPECT_EQ(ClickAndAnswer(page, kDelete), "Delete: tool.cmd?");
    EXPECT_TRUE(RowCountBecomes("tool.cmd", 0));
    EXPECT_EQ(::GetFileAttributesA(file.c_str()), INVALID_FILE_ATTRIBUTES);

    PageView quarantine(app, 151, 1057);
    ASSERT_TRUE(quarantine.Open(kQuarantineButton));
    quarantine.Click(kQuarantineRefresh);
    ASSERT_TRUE(WaitUntil([&] { return quarantine.RowOf(file) == 0; }));
    quarantine.Select(0);
    EXPECT_EQ(ClickAndAnswer(quarantine, kQuarantineRestore), "Restore " + file + "?");
    EXPECT_EQ(Answer(), "Restore succeeded");
    EXPECT_EQ(ReadFileBytes(file), "@echo off");
    ::DeleteFileA(file.c_str());
}
