// Threats of any name from end to end: the shield deletes hidden ones in a stick's root, the scan
// ones three folders down inside folders so named, both through the quarantine; the quarantine
// page lists only marked files, restores them to their origin or the desktop, and empties.
#include <shlobj.h>

#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kRestore = 1003, kEmpty = 1004;
// Cyrillic, Greek, Chinese, outside the Basic Multilingual Plane, and the code page's own.
const char* const kNames[] = {"Фото.exe", "Φωτογραφία.exe", "照片.exe", "😀 party.exe", "café.exe"};
const std::string kDeep = "Документы\\Έγγραφα\\文件夹 😀\\";
constexpr int kCount = int(std::size(kNames));

std::string ContentOf(const std::string& name) { return std::string("MZ\0\xE3\xFF\r\n", 7) + name; }
bool Delete(const std::string& path) { return ::DeleteFileW(Utf8ToWide(path).c_str()) != FALSE; }

class QuarantinePageTest : public ProgramTest {
  protected:
    QuarantinePageTest() : ProgramTest("quarantine-page") {}

    PageView shield{app, 153, 1015, 1017}, scan{app, 152, 1024, 1025}, quarantine{app, 151, 1057};
};
}  // namespace

TEST_F(QuarantinePageTest, ThreatsOfAnyNameGoThroughTheQuarantineAndComeBack) {
    char desktop[MAX_PATH] = {};
    ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
    TestDrive stick('E', DriveKind::Removable);
    Strings files, inRoot, below;  // paths on the stick
    for (const char* name : kNames) {
        files.insert(files.end(), {name, kDeep + name});
        inRoot.push_back(stick.Path(name));
        below.push_back(stick.Path(kDeep + name));
    }
    for (const std::string& file : files)
        ASSERT_TRUE(stick.WriteFile(file, ContentOf(file), FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(stick.WriteFile("Фото.txt", "", FILE_ATTRIBUTE_HIDDEN) &&  // no risky extension
                stick.WriteFile(kDeep + "Фото.jpg", "", FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(app.StartHidden() && quarantine.Open(1011));
    EXPECT_EQ(ClickAndAnswer(quarantine, kRestore), "Nothing found");
    EXPECT_EQ(ClickAndAnswer(quarantine, kEmpty), "Nothing found");

    ASSERT_TRUE(shield.Open(1001));
    EXPECT_EQ(Sorted(shield.Column(0)), Sorted(inRoot));
    EXPECT_EQ(shield.Column(1), Strings(kCount, "Risky"));
    // One by its own Delete, with the name in the question as the user reads it.
    shield.Select(shield.RowOf("E:\\Фото.exe"));
    EXPECT_EQ(ClickAndAnswer(shield, 1002), "Delete: E:\\Фото.exe?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(WaitUntil([&] { return !stick.Exists("Фото.exe"); }));
    EXPECT_EQ(ClickAndAnswer(shield, 1016), "Do you want to delete all?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(shield.WaitForAllStates("Deleted"));
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");

    ASSERT_TRUE(scan.Open(1006) && scan.SendClick(1014));
    ASSERT_TRUE(WaitUntil([&] { return scan.IsEnabled(1014); }, 30000));
    EXPECT_EQ(Sorted(scan.Column(0)), Sorted(below));
    EXPECT_EQ(scan.Column(1), Strings(kCount, "Suspicious"));
    EXPECT_EQ(ClickAndAnswer(scan, 1027), "Do you want to delete all?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(scan.WaitForAllStates("Deleted"));
    EXPECT_EQ(ListFolder(stick.FolderPath(kDeep)), Strings{"Фото.jpg"});
    EXPECT_EQ(Sorted(ListFolder(stick.Folder())), Sorted({"Документы", "Фото.txt"}));

    // Beside both kinds of quarantine file, files that are none; attributes keep no quarantine
    // file from being listed or emptied.
    ASSERT_TRUE(WriteFileBytes(QuarantineFile("foreign.kv"), "MZ not coded") &&
                WriteFileBytes(QuarantineFile("short.kv"), "kestrel") &&
                WriteFileBytes(QuarantineFile("notes.txt"), EncodeQuarantineFile("E:\\a", "")));
    ASSERT_TRUE(::SetFileAttributesW(Utf8ToWide(QuarantineFile("café.exe.kv")).c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(quarantine.Open(1011) && quarantine.SendClick(1002));  // Refresh
    ASSERT_TRUE(WaitUntil([&] { return quarantine.RowCount() == 2 * kCount; }));
    quarantine.Select(quarantine.RowOf(inRoot[0]));
    const std::string question = "Restore " + inRoot[0] + "?";
    EXPECT_EQ(ClickAndAnswer(quarantine, kRestore, IDCANCEL), question);
    EXPECT_TRUE(app.Answers() && !stick.Exists(files[0]));
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        quarantine.Select(quarantine.RowOf(stick.Path(file)));
        EXPECT_EQ(ClickAndAnswer(quarantine, kRestore), "Restore " + stick.Path(file) + "?");
        EXPECT_EQ(Answer(), "Restore succeeded");
        EXPECT_EQ(ReadFileBytes(stick.FolderPath(file)), ContentOf(file));
    }
    // The origin taken, then its stick pulled out: the desktop takes the copy, once.
    quarantine.Select(quarantine.RowOf(inRoot[0]));
    const std::string onDesktop = desktop + ("\\" + files[0]);
    for (bool pulled : {false, true}) {
        // The shell may be reading the new file for its desktop icon just now.
        ASSERT_TRUE(!pulled || (WaitUntil([&] { return Delete(onDesktop); }) && stick.Remove()));
        EXPECT_EQ(ClickAndAnswer(quarantine, kRestore), question);
        EXPECT_EQ(Answer(), "Restore the file to desktop");
        EXPECT_EQ(ReadFileBytes(onDesktop), ContentOf(files[0]));
    }
    EXPECT_EQ(ClickAndAnswer(quarantine, kRestore), question);
    EXPECT_EQ(Answer(), "Restore failed: The file has been restored");
    // The quarantine file removed by hand since it was listed.
    ASSERT_TRUE(Delete(QuarantineFile(files[0] + ".kv")));
    EXPECT_EQ(ClickAndAnswer(quarantine, kRestore), question);
    EXPECT_EQ(Answer(), "Restore failed: the quarantined file is absent!");

    EXPECT_EQ(ClickAndAnswer(quarantine, kEmpty, IDCANCEL),
              "Do you want to delete all quarantined files thoroughly?");
    EXPECT_TRUE(app.Answers() && quarantine.RowCount() == 2 * kCount);
    EXPECT_EQ(ListFolder(QuarantineFolder()).size(), 2u * kCount + 2);
    EXPECT_EQ(ClickAndAnswer(quarantine, kEmpty),
              "Do you want to delete all quarantined files thoroughly?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_EQ(Answer(), "Empty completed");
    EXPECT_TRUE(WaitUntil([&] { return quarantine.RowCount() == 0; }));
    EXPECT_EQ(Sorted(ListFolder(QuarantineFolder())),
              (Strings{"foreign.kv", "notes.txt", "short.kv"}));
    WaitUntil([&] { return Delete(onDesktop); });
}
