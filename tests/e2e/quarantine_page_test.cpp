// The quarantine page from end to end: quarantine files written by hand into the program's
// quarantine folder are listed, restored to their origin or the desktop, and emptied.
#include <shlobj.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kRefresh = 1002, kRestore = 1003, kEmpty = 1004;
constexpr char kEmptyQuestion[] = "Do you want to delete all quarantined files thoroughly?";

class QuarantinePageTest : public ProgramTest {
  protected:
    QuarantinePageTest() : ProgramTest("quarantine-page") {}

    bool Quarantine(const std::string& name, const std::string& origin, std::string content) {
        return WriteFileBytes(QuarantineFile(name), EncodeQuarantineFile(origin, content));
    }

    PageView page{app, 151, 1057};
};
}  // namespace

TEST_F(QuarantinePageTest, ListsMarkedFilesRestoresToTheOriginOrTheDesktopAndEmpties) {
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    const std::string onDesktop = desktop + std::string("\\target.txt"), origin = "E:\\target.txt";
    const std::string content("MZ\0\xE3\xFF\r\n", 7);
    ::DeleteFileA(onDesktop.c_str());
    ASSERT_TRUE(app.StartHidden() && page.Open(1011));
    EXPECT_EQ(page.RowCount(), 0);
    EXPECT_EQ(ClickAndAnswer(page, kRestore), "Nothing found");
    EXPECT_EQ(ClickAndAnswer(page, kEmpty), "Nothing found");

    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(Quarantine("target.txt.kv", origin, content) &&
                Quarantine("run.vbs (2).kv", "F:\\games\\run.vbs", "WScript.Echo 1"));
    ASSERT_TRUE(WriteFileBytes(QuarantineFile("foreign.kv"), "MZ not coded") &&
                WriteFileBytes(QuarantineFile("short.kv"), "kestrel") &&
                WriteFileBytes(QuarantineFile("notes.txt"), EncodeQuarantineFile("E:\\a", "")));
    // Attributes do not keep a quarantine file from being listed or emptied.
    ASSERT_TRUE(::SetFileAttributesA(QuarantineFile("run.vbs (2).kv").c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    page.Click(kRefresh);
    ASSERT_TRUE(WaitUntil([&] { return page.RowCount() == 2; }));
    ListRows rows = page.Rows();
    std::sort(rows.begin(), rows.end());
    EXPECT_EQ(rows, (ListRows{{origin, QuarantineFile("target.txt.kv")},
                              {"F:\\games\\run.vbs", QuarantineFile("run.vbs (2).kv")}}));

    page.Select(page.RowOf(origin));
    const std::string question = "Restore " + origin + "?";
    EXPECT_EQ(ClickAndAnswer(page, kRestore, IDCANCEL), question);
    EXPECT_TRUE(app.Answers() && !stick.Exists("target.txt"));
    EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
    EXPECT_EQ(Answer(), "Restore succeeded");
    EXPECT_EQ(ReadFileBytes(stick.FolderPath("target.txt")), content);
    // The origin taken, then its stick pulled out: the desktop takes the copy, once.
    for (bool pulled : {false, true}) {
        ASSERT_TRUE(WriteFileBytes(stick.FolderPath("target.txt"), "changed"));
        ASSERT_TRUE(!pulled || (::DeleteFileA(onDesktop.c_str()) && stick.Remove()));
        EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
        EXPECT_EQ(Answer(), "Restore the file to desktop");
        EXPECT_EQ(ReadFileBytes(onDesktop), content);
    }
    EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
    EXPECT_EQ(Answer(), "Restore failed: The file has been restored");
    EXPECT_EQ(ReadFileBytes(stick.FolderPath("target.txt")), "changed");
    // The quarantine file removed by hand since it was listed.
    ASSERT_TRUE(::DeleteFileA(QuarantineFile("target.txt.kv").c_str()));
    EXPECT_EQ(ClickAndAnswer(page, kRestore), question);
    EXPECT_EQ(Answer(), "Restore failed: the quarantined file is absent!");

    EXPECT_EQ(ClickAndAnswer(page, kEmpty, IDCANCEL), kEmptyQuestion);
    EXPECT_TRUE(app.Answers() && page.RowCount() == 2);
    EXPECT_EQ(ListFolder(QuarantineFolder()).size(), 4u);
    EXPECT_EQ(ClickAndAnswer(page, kEmpty), kEmptyQuestion);
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_EQ(Answer(), "Empty completed");
    EXPECT_TRUE(WaitUntil([&] { return page.RowCount() == 0; }));
    EXPECT_EQ(Sorted(ListFolder(QuarantineFolder())),
              (Strings{"foreign.kv", "notes.txt", "short.kv"}));
    // The shell may be reading the new file for its desktop icon just now.
    WaitUntil([&] { return ::DeleteFileA(onDesktop.c_str()) != FALSE; });
}
