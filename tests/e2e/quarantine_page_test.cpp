// The quarantine page from end to end: quarantine files written by hand into the program's
// quarantine folder are listed, restored to their origin or the desktop, and emptied.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "tests/support/PageView.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kRefresh = 1002, kRestore = 1003, kEmpty = 1004;
constexpr char kEmptyQuestion[] = "Do you want to delete all quarantined files thoroughly?";

class QuarantinePageTest : public ProgramTest {
  protected:
    QuarantinePageTest() : ProgramTest("quarantine-page") {}

    bool Quarantine(const std::string& name, const std::string& origin, std::string content = "") {
        return WriteFileBytes(QuarantineFile(name), EncodeQuarantineFile(origin, content));
    }
    bool WaitUntilIdle() const {
        return WaitUntil([&] {
            return page.IsEnabled(kRefresh) && page.IsEnabled(kRestore) && page.IsEnabled(kEmpty);
        });
    }

    PageView page{app, 151, 1057};
};
}  // namespace

TEST_F(QuarantinePageTest, OnlyMarkedKvFilesAreListedAndEmptied) {
    ASSERT_TRUE(app.StartHidden() && page.Open(1011));
    EXPECT_EQ(page.RowCount(), 0);
    EXPECT_EQ(ClickAndAnswer(page, kRestore), "Nothing found");
    EXPECT_EQ(ClickAndAnswer(page, kEmpty), "Nothing found");
    EXPECT_TRUE(WaitUntilIdle());

    ASSERT_TRUE(Quarantine("setup.exe.kv", "E:\\setup.exe", "MZ"));
    ASSERT_TRUE(Quarantine("run.vbs (2).kv", "F:\\games\\run.vbs", "WScript.Echo 1"));
    ASSERT_TRUE(WriteFileBytes(QuarantineFile("foreign.kv"), "MZ not coded"));
    ASSERT_TRUE(WriteFileBytes(QuarantineFile("short.kv"), "kestrel"));
    ASSERT_TRUE(WriteFileBytes(QuarantineFile("notes.txt"), EncodeQuarantineFile("E:\\a", "")));
    // Attributes do not keep a quarantine file from being listed or emptied.
    ASSERT_TRUE(::SetFileAttributesA(QuarantineFile("setup.exe.kv").c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    page.Click(kRefresh);
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() == 2; }));
    ListRows rows = page.Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (ListRows{{"E:\\setup.exe", QuarantineFile("setup.exe.kv")},
                              {"F:\\games\\run.vbs", QuarantineFile("run.vbs (2).kv")}}));
    page.Select(0);
    SaveScreenshot("quarantine-page", Main());

    EXPECT_EQ(ClickAndAnswer(page, kEmpty, IDCANCEL), kEmptyQuestion);
    EXPECT_TRUE(WaitUntilIdle());
    EXPECT_EQ(page.RowCount(), 2);
    EXPECT_EQ(ListFolder(QuarantineFolder()).size(), 5u);
    EXPECT_EQ(ClickAndAnswer(page, kEmpty), kEmptyQuestion);
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_EQ(Answer(), "Empty completed");
    EXPECT_TRUE(WaitUntil([&] { return page.RowCount() == 0; }) && WaitUntilIdle());
    EXPECT_EQ(Sorted(ListFolder(QuarantineFolder())),
              (Strings{"foreign.kv", "notes.txt", "short.kv"}));
}

TEST_F(QuarantinePageTest, RestoreGoesToTheOriginThenTheDesktopThenFails) {
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    const std::string origin = app.Folder() + "\\target.txt";
    const std::string onDesktop = desktop + std::string("\\target.txt");
    const std::string content("MZ\0\xE3\xFF\r\n", 7);
    for (const std::string& path : {origin, onDesktop}) ::DeleteFileA(path.c_str());
    ASSERT_TRUE(CreateFolders(QuarantineFolder()) && Quarantine("target.txt.kv", origin, content));
    ASSERT_TRUE(app.StartHidden() && page.Open(1011));
    ASSERT_EQ(page.RowCount(), 1);

    page.Select(0);
    const std::string question = "Restore " + origin + "?";
    EXPECT_EQ(ClickAndAnswer(page, kRestore, IDCANCEL), question);
    EXPECT_TRUE(WaitUntilIdle());
    EXPECT_EQ(::GetFileAttributesA(origin.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
    EXPECT_EQ(Answer(), "Restore succeeded");
    EXPECT_EQ(ReadFileBytes(origin), content);
    // The origin is occupied now: the desktop takes the copy, and then nothing can.
    ASSERT_TRUE(WriteFileBytes(origin, "changed"));
    EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
    EXPECT_EQ(Answer(), "Restore the file to desktop");
    EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
    EXPECT_EQ(Answer(), "Restore failed: The file has been restored");
    EXPECT_EQ(ReadFileBytes(origin), "changed");
    EXPECT_EQ(ReadFileBytes(onDesktop), content);

    // The quarantine file removed by hand since it was listed.
    ASSERT_TRUE(::DeleteFileA(QuarantineFile("target.txt.kv").c_str()));
    EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
    EXPECT_EQ(Answer(), "Restore failed: the quarantined file is absent!");
    EXPECT_TRUE(WaitUntilIdle());
    ::DeleteFileA(onDesktop.c_str());
}
