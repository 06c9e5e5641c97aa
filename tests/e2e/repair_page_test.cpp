// The RepairSystem page from end to end: the registry repair, and the disk cleanup on the
// prefix's own folders, URL cache and a recycle bin of the test's own.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>

#include "framework/Handles.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
// Starts a host program (a path such as "/bin/ln") from the prefix; it runs on its own, so
// callers wait for its effect.
void RunUnix(const std::string& commandLine) {
    std::string line = "\\\\?\\unix" + commandLine;
    for (size_t slash = 0; slash < line.find(' '); ++slash)
        if (line[slash] == '/') line[slash] = '\\';
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    // Wine starts a host program outside any Windows process: it reports success but fills
    // in no handles (the fields keep whatever they held), so none is closed here.
    ::CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr,
                     nullptr, &startup, &info);
}

// A host symbolic link at `link` to the folder `target` (both Windows paths in the prefix),
// which reads as a directory link (a reparse point); Wine cannot make one itself, so the
// host's ln does. Remove takes the link away without touching its target.
bool MakeHostSymlink(const std::string& target, const std::string& link) {
    std::string unixTarget = UnixPathOf(target), unixLink = UnixPathOf(link);
    if (unixTarget.empty() || unixLink.empty()) return false;
    RunUnix("/bin/ln -s \"" + unixTarget + "\" \"" + unixLink + "\"");
    return WaitUntil([&] {
        DWORD attributes = ::GetFileAttributesA(link.c_str());
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
    });
}

void RemoveHostSymlink(const std::string& link) {
    std::string unixLink = UnixPathOf(link);
    if (unixLink.empty()) return;
    RunUnix("/bin/rm -f \"" + unixLink + "\"");
    WaitUntil([&] { return ::GetFileAttributesA(link.c_str()) == INVALID_FILE_ATTRIBUTES; });
}

constexpr int kRepair = 1002, kCleanup = 1003;
constexpr char kRepairQuestion[] = "Do you want to repair registry?";
constexpr char kCleanupQuestion[] =
    "Do you want to cleanup the system drive?\r\nPlease wait for a while!";
const char kExplorer[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
// The recycle bin every process of the test run has (scripts/lib.sh), standing in for the
// host's: the program must never empty it.
const char kRunTrash[] = "C:\\xdg-data\\Trash";

// A trashed file as the freedesktop trash keeps it: the file and its record.
bool PutInTrash(const std::string& trash, const std::string& name) {
    return CreateFolders(trash + "\\files") && CreateFolders(trash + "\\info") &&
           WriteFileBytes(trash + "\\files\\" + name, "old") &&
           WriteFileBytes(
               trash + "\\info\\" + name + ".trashinfo",
               "[Trash Info]\nPath=/tmp/" + name + "\nDeletionDate=2026-01-01T00:00:00\n");
}

class RepairPageTest : public ProgramTest {
  protected:
    RepairPageTest() : ProgramTest("repair-page") {}
    void SetUp() override {
        ProgramTest::SetUp();
        char temp[MAX_PATH] = {};
        ::GetTempPathA(MAX_PATH, temp);
        work = std::string(temp) + "koravant-cleanup";
        TearDown();
        DeleteTree(app.Folder() + "\\xdg");
        app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        RemoveHostSymlink(work + "\\link");  // first: the tree's deletion would follow it
        DeleteTree(work);
    }
    bool Idle() const { return page.IsEnabled(kRepair) && page.IsEnabled(kCleanup); }
    std::string StateOf(const std::string& content) const {
        int row = page.RowOf(content);
        return row < 0 ? "<not listed>" : page.Cell(row, 1);
    }

    PageView page{app, 154, 1036};
    std::string work;
};
}  // namespace

TEST_F(RepairPageTest, RepairThenCleanupWithTheirQuestionsRowsAndEffects) {
    const std::string outside = app.Folder() + "\\documents", trash = app.Folder() + "\\xdg\\Trash";
    const std::string locked = work + "\\locked.tmp", held = work + "\\held.tmp";
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorer, "NoRun", 1));
    // Enough files that the run lasts while the buttons are watched.
    for (int i = 0; i < 400; ++i) {
        std::string folder = work + "\\f" + std::to_string(i / 100);
        ASSERT_TRUE(CreateFolders(folder) &&
                    WriteFileBytes(folder + "\\" + std::to_string(i) + ".tmp", ""));
    }
    ASSERT_TRUE(
        CreateFolders(work + "\\empty\\a\\b") && CreateFolders(outside) &&
        WriteFileBytes(outside + "\\letter.doc", "keep") &&
        MakeHostSymlink(outside, work + "\\link") && WriteFileBytes(locked, "x") &&
        WriteFileBytes(held, "x") &&
        ::SetFileAttributesA(locked.c_str(), FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
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
    ASSERT_TRUE(PutInTrash(trash, "own.txt") && PutInTrash(kRunTrash, "kept.txt"));
    ASSERT_TRUE(app.StartHidden() && page.Open(1007));

    EXPECT_EQ(ClickAndAnswer(page, kRepair, IDCANCEL), kRepairQuestion);
    EXPECT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(page.RowCount(), 0);
    EXPECT_TRUE(ReadRegistryValue(HKEY_CURRENT_USER, kExplorer, "NoRun"));
    EXPECT_EQ(ClickAndAnswer(page, kRepair), kRepairQuestion);
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() == 31 && Idle(); }));
    ListRows rows = page.Rows();
    EXPECT_EQ(rows[28], (Strings{"HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\",
                                 "Restore Internet Explorer"}));
    EXPECT_EQ(rows[29], (Strings{"HKEY_LOCAL_MACHINE\\Microsoft\\Internet Explorer\\",
                                 "Restore Internet Explorer"}));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_FALSE(ReadRegistryValue(HKEY_CURRENT_USER, kExplorer, "NoRun"));

    EXPECT_EQ(ClickAndAnswer(page, kCleanup, IDCANCEL), kCleanupQuestion);
    EXPECT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_TRUE(FileExists(locked) && FileExists(trash + "\\files\\own.txt"));
    EXPECT_EQ(page.Rows(), rows);
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
    EXPECT_TRUE(alwaysBusy);
    EXPECT_TRUE(::IsWindowVisible(Main()) && app.VisiblePage() == 154u);
    EXPECT_EQ(Answer(), "Clean completed");
    EXPECT_TRUE(WaitUntil([&] { return Idle(); }));
    EXPECT_EQ(StateOf(locked), "Deleted");
    EXPECT_EQ(StateOf(held), "Delete failed");
    EXPECT_EQ(StateOf(work + "\\f0\\7.tmp"), "Deleted");
    EXPECT_EQ(StateOf(cached), "IE cache Deleted");
    EXPECT_EQ(StateOf(work + "\\link\\letter.doc"), "<not listed>");
    EXPECT_EQ(ReadFileBytes(outside + "\\letter.doc"), "keep");
    EXPECT_FALSE(FileExists(locked) || FileExists(trash + "\\files\\own.txt"));
    EXPECT_TRUE(FileExists(held) && FileExists(work + "\\empty\\a\\b") &&
                FileExists(work + "\\f3"));
    EXPECT_TRUE(FileExists(std::string(kRunTrash) + "\\files\\kept.txt"));

    // Nothing is left in the cache: a second run adds no cache rows.
    holder.reset();
    EXPECT_EQ(ClickAndAnswer(page, kCleanup), kCleanupQuestion);
    EXPECT_EQ(Answer(), "Clean completed");
    rows = page.Rows();
    EXPECT_TRUE(std::none_of(rows.begin(), rows.end(),
                             [](const auto& row) { return row[1] == "IE cache Deleted"; }));
    EXPECT_EQ(StateOf(held), "Deleted");
}
