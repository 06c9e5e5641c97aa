// The RepairSystem page from end to end: the registry repair checked with Wine's reg.exe, and
// the disk cleanup on the prefix's own folders, URL cache and a recycle bin of the test's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "framework/Handles.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Wait.h"
#include "tests/support/WineTools.h"

namespace {
constexpr int kRepair = 1002, kCleanup = 1003, kPageButton = 1007;
constexpr char kRepairQuestion[] = "Do you want to repair registry?";
constexpr char kCleanupQuestion[] =
    "Do you want to cleanup the system drive?\r\nPlease wait for a while!";
const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
// The recycle bin every process of the test run has (scripts/lib.sh), standing in for the
// host's: the program must never empty it.
const char kRunTrash[] = "C:\\xdg-data\\Trash";

// `count` empty files "<n>.tmp" in folders "f<n / 100>" below `root`.
bool WriteTree(const std::string& root, int count) {
    for (int i = 0; i < count; ++i) {
        std::string folder = root + "\\f" + std::to_string(i / 100);
        if (!CreateFolders(folder) ||
            !WriteFileBytes(folder + "\\" + std::to_string(i) + ".tmp", ""))
            return false;
    }
    return true;
}

// A trashed file as the freedesktop trash keeps it: the file and its record.
bool PutInTrash(const std::string& trash, const std::string& name) {
    return CreateFolders(trash + "\\files") && CreateFolders(trash + "\\info") &&
           WriteFileBytes(trash + "\\files\\" + name, "old") &&
           WriteFileBytes(
               trash + "\\info\\" + name + ".trashinfo",
               "[Trash Info]\nPath=/tmp/" + name + "\nDeletionDate=2026-01-01T00:00:00\n");
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class RepairPageTest : public ProgramTest {
  protected:
    RepairPageTest() : ProgramTest("repair-page") {}

    void SetUp() override {
        ProgramTest::SetUp();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        m_work = std::string(temp) + "koravant-cleanup";
        m_trash = app.Folder() + "\\xdg\\Trash";
        TearDown();
        DeleteTree(app.Folder() + "\\xdg");
        app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        // The link goes first: the tree's deletion would follow it.
        RemoveHostSymlink(m_work + "\\link");
        DeleteTree(m_work);
    }
    bool Idle() const { return page.IsEnabled(kRepair) && page.IsEnabled(kCleanup); }
    bool Busy() const { return !page.IsEnabled(kRepair) && !page.IsEnabled(kCleanup); }
    std::string StateOf(const std::string& content) const {
        int row = page.RowOf(content);
        return row < 0 ? "<not listed>" : page.Cell(row, 1);
    }

    PageView page{app, 154, 1036};
    std::string m_work, m_trash;
};
}  // namespace

TEST_F(RepairPageTest, RepairListsEveryRowAndCancelChangesNothing) {
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorer, "NoRun", 1));
    ASSERT_TRUE(app.StartHidden() && page.Open(kPageButton));

    EXPECT_EQ(ClickAndAnswer(page, kRepair, IDCANCEL), kRepairQuestion);
    EXPECT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(page.RowCount(), 0);
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kExplorer, "NoRun"));

    EXPECT_EQ(ClickAndAnswer(page, kRepair), kRepairQuestion);
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() == 31 && Idle(); }));
    ListRows rows = page.Rows();
    EXPECT_EQ(rows[28], (std::vector<std::string>{
                            "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\",
                            "Restore Internet Explorer"}));
    EXPECT_EQ(rows[29],
              (std::vector<std::string>{"HKEY_LOCAL_MACHINE\\Microsoft\\Internet Explorer\\",
                                        "Restore Internet Explorer"}));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    SaveScreenshot("repair-page", Main());
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kExplorer, "NoRun"));
}

TEST_F(RepairPageTest, CleanupDeletesFilesButNoFolderNothingBehindALinkAndOnlyItsOwnTrash) {
    const std::string outside = app.Folder() + "\\documents";
    const std::string locked = m_work + "\\locked.tmp", held = m_work + "\\held.tmp";
    // Enough files that the run lasts while the buttons are watched.
    ASSERT_TRUE(WriteTree(m_work, 400) && CreateFolders(m_work + "\\empty\\a\\b") &&
                CreateFolders(outside) && WriteFileBytes(outside + "\\letter.doc", "keep") &&
                MakeHostSymlink(outside, m_work + "\\link") && WriteFileBytes(locked, "x") &&
                WriteFileBytes(held, "x"));
    ASSERT_TRUE(
        ::SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ScopedHandle holder(
        ::CreateFileA(held.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(holder.valid());
    // A cache entry whose record is larger than the first 4,096-byte read.
    const char url[] = "http://cache.test/large.html";
    char cached[MAX_PATH] = {};
    ASSERT_TRUE(::CreateUrlCacheEntryA(url, 0, "html", cached, 0) && WriteFileBytes(cached, "x"));
    std::string headers = "X-Padding: " + std::string(6000, 'p') + "\r\n\r\n";
    ASSERT_TRUE(::CommitUrlCacheEntryA(url, cached, {}, {}, NORMAL_CACHE_ENTRY,
                                       reinterpret_cast<BYTE*>(headers.data()),
                                       static_cast<DWORD>(headers.size()), nullptr, nullptr));
    ASSERT_TRUE(PutInTrash(m_trash, "own.txt") && PutInTrash(kRunTrash, "kept.txt"));
    ASSERT_TRUE(app.StartHidden() && page.Open(kPageButton));

    EXPECT_EQ(ClickAndAnswer(page, kCleanup, IDCANCEL), kCleanupQuestion);
    EXPECT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_TRUE(Exists(locked) && Exists(m_trash + "\\files\\own.txt"));
    EXPECT_EQ(page.RowCount(), 0);

    ASSERT_EQ(ClickAndAnswer(page, kCleanup), kCleanupQuestion);
    // Both buttons stay disabled until the run ends with its notice.
    bool alwaysBusy = true;
    ASSERT_TRUE(WaitUntil(
        [&] { return AnyMessageBox(app.Pid()) || ((alwaysBusy = alwaysBusy && Busy()), false); },
        60000));
    EXPECT_TRUE(alwaysBusy);
    EXPECT_TRUE(::IsWindowVisible(Main()) && app.VisiblePage() == 154u);
    EXPECT_EQ(Answer(), "Clean completed");
    EXPECT_TRUE(WaitUntil([&] { return Idle(); }));

    EXPECT_EQ(StateOf(locked), "Deleted");
    EXPECT_EQ(StateOf(held), "Delete failed");
    EXPECT_EQ(StateOf(m_work + "\\f0\\7.tmp"), "Deleted");
    EXPECT_EQ(StateOf(cached), "IE cache Deleted");
    EXPECT_EQ(StateOf(m_work + "\\link\\letter.doc"), "<not listed>");
    EXPECT_EQ(ReadFileBytes(outside + "\\letter.doc"), "keep");
    EXPECT_FALSE(Exists(locked) || Exists(m_trash + "\\files\\own.txt"));
    EXPECT_TRUE(Exists(held) && Exists(m_work + "\\empty\\a\\b") && Exists(m_work + "\\f3"));
    EXPECT_TRUE(Exists(std::string(kRunTrash) + "\\files\\kept.txt"));

    // Nothing is left in the cache: a second run adds no cache rows.
    holder.reset();
    EXPECT_EQ(ClickAndAnswer(page, kCleanup), kCleanupQuestion);
    EXPECT_EQ(Answer(), "Clean completed");
    ListRows rows = page.Rows();
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(),
                             [](const auto& row) { return row[1] == "IE cache Deleted"; }));
    EXPECT_EQ(StateOf(held), "Deleted");
}

TEST_F(RepairPageTest, QuittingWhileTheCleanupRunsEndsTheProgramCleanly) {
    ASSERT_TRUE(WriteTree(m_work, 3000));
    ASSERT_TRUE(app.StartHidden() && page.Open(kPageButton));
    EXPECT_EQ(ClickAndAnswer(page, kCleanup), kCleanupQuestion);
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() > 0; }, 20000, 5));
    PostCommand(Main(), 1062);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
}
