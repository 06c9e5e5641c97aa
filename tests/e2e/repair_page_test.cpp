// The RepairSystem page from end to end: the registry repair, and the disk cleanup on the
// prefix's own folders, URL cache and a recycle bin of the test's own.
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <cstdlib>

#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kRepair = 1002, kCleanup = 1003;
constexpr char kRepairQuestion[] = "Do you want to repair registry?";
constexpr char kCleanupQuestion[] =
    "Do you want to cleanup the system drive?\r\nPlease wait for a while!";
const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";

class RepairPageTest : public ProgramTest {
  protected:
    RepairPageTest() : ProgramTest("repair-page") {}
    void SetUp() override {
        ProgramTest::SetUp();
        TearDown();
        DeleteTree(app.Folder() + "\\xdg");
        app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        // The link first: the tree's deletion would follow it.
        RunHost("/bin/rm -f \"" + UnixPathOf(work + "\\link") + "\"");
        WaitUntil([&] { return !PathExists(work + "\\link"); });
        DeleteTree(work);
    }
    bool Idle() const { return page.IsEnabled(kRepair) && page.IsEnabled(kCleanup); }
    std::string StateOf(const std::string& content) const {
        int row = page.RowOf(content);
        return row < 0 ? "<not listed>" : page.Cell(row, 1);
    }

    PageView page{app, 154, 1036};
    const std::string work = std::string(std::getenv("TEMP")) + "\\koravant-cleanup";
};
}  // namespace

TEST_F(RepairPageTest, RepairThenCleanupWithTheirQuestionsRowsAndEffects) {
    const std::string outside = app.Folder() + "\\documents", trash = app.Folder() + "\\xdg\\Trash";
    const std::string held = work + "\\held.tmp", plain = work + "\\f\\7.tmp";
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorer, "NoRun", 1));
    for (const std::string& folder : {outside, work + "\\f", trash + "\\files", trash + "\\info"})
        ASSERT_TRUE(CreateFolders(folder));
    // Enough files that the run lasts while the buttons are watched.
    for (int i = 0; i < 400; ++i)
        ASSERT_TRUE(WriteFileBytes(work + "\\f\\" + std::to_string(i) + ".tmp", ""));
    // A file outside, one to hold open, and a trashed file as the freedesktop trash keeps it:
    // the file and its record.
    ASSERT_TRUE(
        WriteFileBytes(outside + "\\letter.doc", "keep") && WriteFileBytes(held, "x") &&
        WriteFileBytes(trash + "\\files\\old.txt", "old") &&
        WriteFileBytes(trash + "\\info\\old.txt.trashinfo",
                       "[Trash Info]\nPath=/tmp/old.txt\nDeletionDate=2026-01-01T00:00:00\n"));
    // A link to a folder outside, which Wine cannot make itself: it reads as a reparse point.
    RunHost("/bin/ln -s \"" + UnixPathOf(outside) + "\" \"" + UnixPathOf(work + "\\link") + "\"");
    ASSERT_TRUE(WaitUntil([&] {
        DWORD a = ::GetFileAttributesA((work + "\\link").c_str());
        return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT);
    }));
    ScopedHandle holder(
        ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    // A cache entry whose record is larger than the first 4,096-byte read.
    const char url[] = "http://cache.test/large.html";
    char cached[MAX_PATH] = {};
    std::string headers = "X-Padding: " + std::string(6000, 'p') + "\r\n\r\n";
    ASSERT_TRUE(::CreateUrlCacheEntryA(url, 0, "html", cached, 0) && WriteFileBytes(cached, "x") &&
                ::CommitUrlCacheEntryA(url, cached, {}, {}, NORMAL_CACHE_ENTRY,
                                       reinterpret_cast<BYTE*>(headers.data()),
                                       static_cast<DWORD>(headers.size()), nullptr, nullptr));
    ASSERT_TRUE(app.StartHidden() && page.Open(1007));

    EXPECT_EQ(ClickAndAnswer(page, kRepair, IDCANCEL), kRepairQuestion);
    EXPECT_TRUE(app.Answers() && page.RowCount() == 0 &&
                ReadRegistryValue(HKEY_CURRENT_USER, kExplorer, "NoRun"));
    EXPECT_EQ(ClickAndAnswer(page, kRepair), kRepairQuestion);
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() == 31 && Idle(); }));
    ListRows rows = page.Rows();
    EXPECT_EQ(rows[28], (Strings{"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\",
                                 "Restore Internet Explorer"}));
    EXPECT_EQ(rows[29], (Strings{"HKEY_LOCAL_MACHINE\\Microsoft\\Internet Explorer\\",
                                 "Restore Internet Explorer"}));
    EXPECT_FALSE(AnyMessageBox(app.Pid()) ||
                 ReadRegistryValue(HKEY_CURRENT_USER, kExplorer, "NoRun"));

    // Cancel is one question for both tools: the repair's shows it.
    ASSERT_EQ(ClickAndAnswer(page, kCleanup), kCleanupQuestion);
    // Both buttons stay disabled until the run ends with its notice.
    bool alwaysBusy = true;
    ASSERT_TRUE(WaitUntil(
        [&] {
            if (AnyMessageBox(app.Pid())) return true;
            alwaysBusy = alwaysBusy && !page.IsEnabled(kRepair) && !page.IsEnabled(kCleanup);
            return false;
        },
        60000));
    EXPECT_TRUE(alwaysBusy && ::IsWindowVisible(Main()) && app.VisiblePage() == 154u);
    EXPECT_EQ(Answer(), "Clean completed");
    EXPECT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ((Strings{StateOf(held), StateOf(plain), StateOf(cached),
                       StateOf(work + "\\link\\letter.doc")}),
              (Strings{"Delete failed", "Deleted", "IE cache Deleted", "<not listed>"}));
    EXPECT_EQ(ReadFileBytes(outside + "\\letter.doc"), "keep");
    EXPECT_FALSE(PathExists(plain) || PathExists(trash + "\\files\\old.txt"));
    EXPECT_TRUE(PathExists(held) && PathExists(work + "\\f"));

    // The cache entry is gone: a second run, on an empty cache, adds no cache rows.
    EXPECT_EQ(ClickAndAnswer(page, kCleanup), kCleanupQuestion);
    EXPECT_EQ(Answer(), "Clean completed");
    EXPECT_EQ(std::ranges::count(page.Column(1), "IE cache Deleted"), 0);
}
