// Threats of any name from end to end: the shield deletes hidden ones in a stick's root, the scan
// ones three folders down inside folders so named, both through the quarantine; the quarantine
// page lists only marked files, restores them to their origin or the desktop, and empties.
#include <shlobj.h>

#include "res/resource.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
// Cyrillic, Greek, Chinese, outside the Basic Multilingual Plane, and the code page's own.
const char* const kNames[] = {"Фото.exe", "Φωτογραφία.exe", "照片.exe", "😀 party.exe", "café.exe"};
const std::string kDeep = "Документы\\Έγγραφα\\文件夹 😀\\";
constexpr int kCount = int(std::size(kNames));
constexpr char kWait[] = "Please wait for a while";

std::string ContentOf(const std::string& name) { return std::string("MZ\0\xE3\xFF\r\n", 7) + name; }
bool Delete(const std::string& path) { return ::DeleteFileW(Utf8ToWide(path).c_str()) != FALSE; }

class QuarantinePageTest : public ProgramTest {
  protected:
    QuarantinePageTest() : ProgramTest("quarantine-page") {}

    // Restore on the row of `origin`, its question answered with `answer`: the notice after.
    std::string Restore(const std::string& origin, int answer = IDOK) {
        quarantine.Select(quarantine.RowOf(origin));
        EXPECT_EQ(ClickAndAnswer(quarantine, IDC_QUARANTINE_RESTORE, answer),
                  "Restore " + origin + "?");
        return answer == IDOK ? Answer() : "";
    }

    PageView shield{app, IDD_PLUGWATCH, IDC_SHIELD_LIST, IDC_SHIELD_RESULT};
    PageView scan{app, IDD_PLUGSWEEP, IDC_SCAN_LIST, IDC_SCAN_RESULT};
    PageView quarantine{app, IDD_QUARANTINE, IDC_QUARANTINE_LIST};
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
    ASSERT_TRUE(app.StartHidden() && quarantine.Open(IDC_PAGE_QUARANTINE));
    EXPECT_EQ(ClickAndAnswer(quarantine, IDC_QUARANTINE_EMPTY), "Nothing found");

    ASSERT_TRUE(shield.Open(IDC_PAGE_PLUGWATCH));
    EXPECT_EQ(Sorted(shield.Column(0)), Sorted(inRoot));
    EXPECT_EQ(shield.Column(1), Strings(kCount, "Risky"));
    // One by its own Delete, with the name in the question as the user reads it.
    shield.Select(shield.RowOf("E:\\Фото.exe"));
    EXPECT_EQ(ClickAndAnswer(shield, IDC_SHIELD_DELETE), "Delete: E:\\Фото.exe?");
    EXPECT_EQ(Answer(), kWait);
    EXPECT_TRUE(WaitUntil([&] { return !stick.Exists("Фото.exe"); }));
    EXPECT_EQ(ClickAndAnswer(shield, IDC_SHIELD_DELETE_ALL), "Do you want to delete all?");
    EXPECT_EQ(Answer(), kWait);
    EXPECT_TRUE(shield.WaitForAllStates("Deleted"));
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");

    ASSERT_TRUE(scan.Open(IDC_PAGE_PLUGSWEEP) && scan.SendClick(IDC_SCAN_START));
    ASSERT_TRUE(WaitUntil([&] { return scan.IsEnabled(IDC_SCAN_START); }, 30000));
    EXPECT_EQ(Sorted(scan.Column(0)), Sorted(below));
    EXPECT_EQ(scan.Column(1), Strings(kCount, "Suspicious"));
    EXPECT_EQ(ClickAndAnswer(scan, IDC_SCAN_DELETE_ALL), "Do you want to delete all?");
    // Nothing can start over the rows while the worker waits on its notice.
    EXPECT_TRUE(WaitUntil(
        [&] { return !scan.IsEnabled(IDC_SCAN_START) && !scan.IsEnabled(IDC_SCAN_DELETE_ALL); }));
    EXPECT_EQ(Answer(), kWait);
    EXPECT_TRUE(scan.WaitForAllStates("Deleted") && ListFolder(stick.FolderPath(kDeep)).empty());
    EXPECT_EQ(ListFolder(stick.Folder()), Strings{"Документы"});

    // Beside both kinds of quarantine file, files that are none; attributes keep no quarantine
    // file from being listed or emptied.
    ASSERT_TRUE(WriteFileBytes(QuarantineFile("foreign.kv"), "MZ not coded") &&
                WriteFileBytes(QuarantineFile("short.kv"), "kestrel") &&
                WriteFileBytes(QuarantineFile("notes.txt"), EncodeQuarantineFile("E:\\a", "")));
    ASSERT_TRUE(::SetFileAttributesW(Utf8ToWide(QuarantineFile("café.exe.kv")).c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(quarantine.Open(IDC_PAGE_QUARANTINE) &&
                quarantine.SendClick(IDC_QUARANTINE_REFRESH));
    ASSERT_TRUE(WaitUntil([&] { return quarantine.RowCount() == 2 * kCount; }));
    Restore(inRoot[0], IDCANCEL);
    EXPECT_TRUE(app.Answers() && !stick.Exists(files[0]));
    for (const std::string& file : files) {
        EXPECT_EQ(Restore(stick.Path(file)), "Restore succeeded") << file;
        EXPECT_EQ(ReadFileBytes(stick.FolderPath(file)), ContentOf(file));
    }
    // The origin taken, then its stick pulled out: the desktop takes the copy, once.
    const std::string onDesktop = desktop + ("\\" + files[0]);
    for (bool pulled : {false, true}) {
        // The shell may be reading the new file for its desktop icon just now.
        ASSERT_TRUE(!pulled || (WaitUntil([&] { return Delete(onDesktop); }) && stick.Remove()));
        EXPECT_EQ(Restore(inRoot[0]), "Restore the file to desktop");
        EXPECT_EQ(ReadFileBytes(onDesktop), ContentOf(files[0]));
    }
    EXPECT_EQ(Restore(inRoot[0]), "Restore failed: The file has been restored");
    // The quarantine file removed by hand since it was listed.
    ASSERT_TRUE(Delete(QuarantineFile(files[0] + ".kv")));
    EXPECT_EQ(Restore(inRoot[0]), "Restore failed: the quarantined file is absent!");

    const std::string emptyQuestion = "Do you want to delete all quarantined files thoroughly?";
    EXPECT_EQ(ClickAndAnswer(quarantine, IDC_QUARANTINE_EMPTY, IDCANCEL), emptyQuestion);
    EXPECT_TRUE(app.Answers() && ListFolder(QuarantineFolder()).size() == 2u * kCount + 2);
    // The question, the notice that work has begun and the closing notice, in this order.
    EXPECT_EQ((Strings{ClickAndAnswer(quarantine, IDC_QUARANTINE_EMPTY), Answer(), Answer()}),
              (Strings{emptyQuestion, kWait, "Empty completed"}));
    EXPECT_TRUE(WaitUntil([&] { return quarantine.RowCount() == 0; }));
    EXPECT_EQ(Sorted(ListFolder(QuarantineFolder())),
              (Strings{"foreign.kv", "notes.txt", "short.kv"}));
    WaitUntil([&] { return Delete(onDesktop); });
}
