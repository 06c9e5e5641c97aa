// Files named in any script, from end to end: the shield lists a hidden one in a stick's root,
// the scan finds one three folders down inside folders so named, both delete them through the
// quarantine, and the quarantine page lists and restores them under their own names.
#include <gtest/gtest.h>

#include "tests/support/PageView.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kShieldDelete = 1002, kShieldDeleteAll = 1016;
constexpr int kScan = 1014, kScanDeleteAll = 1027;
constexpr int kRefresh = 1002, kRestore = 1003;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;

// Cyrillic, Greek, Chinese, outside the Basic Multilingual Plane, and the code page's own.
const char* const kNames[] = {"Фото.exe", "Φωτογραφία.exe", "照片.exe", "😀 party.exe", "café.exe"};

std::string ContentOf(const std::string& name) { return std::string("MZ\0\xE3\xFF\r\n", 7) + name; }

class NamesTest : public ProgramTest {
  protected:
    NamesTest() : ProgramTest("names") {}

    PageView shield{app, 153, 1015, 1017};
    PageView scan{app, 152, 1024, 1025};
    PageView quarantine{app, 151, 1057};
};
}  // namespace

TEST_F(NamesTest, TheShieldListsDeletesAndTheQuarantineRestoresRootFilesOfAnyName) {
    TestDrive stick('E', DriveKind::Removable);
    for (const char* name : kNames) ASSERT_TRUE(stick.WriteFile(name, ContentOf(name), kHidden));
    ASSERT_TRUE(stick.WriteFile("Фото.txt", "", kHidden));  // not a risky extension
    ASSERT_TRUE(app.StartHidden() && shield.Open(1001));
    Strings expected;
    for (const char* name : kNames) expected.push_back(stick.Path(name));
    EXPECT_EQ(Sorted(shield.Column(0)), Sorted(expected));
    EXPECT_EQ(shield.Column(1), Strings(std::size(kNames), "Risky"));

    // One by its own Delete, with the name in the question as the user reads it.
    shield.Select(shield.RowOf("E:\\Фото.exe"));
    EXPECT_EQ(ClickAndAnswer(shield, kShieldDelete), "Delete: E:\\Фото.exe?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(WaitUntil([&] { return !stick.Exists("Фото.exe"); }));
    EXPECT_EQ(ClickAndAnswer(shield, kShieldDeleteAll), "Do you want to delete all?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(shield.WaitForAllStates("Deleted"));
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");
    EXPECT_EQ(ListFolder(stick.Folder()), Strings{"Фото.txt"});

    // Both kinds of quarantine file side by side, each restored byte-identical under its name.
    // A page-button click right after the delete-all's last notice is now and then lost.
    ASSERT_TRUE(quarantine.Open(1011) || quarantine.Open(1011));
    // Refresh returns once its rows are added; they arrive in batches.
    ASSERT_TRUE(quarantine.SendClick(kRefresh));
    ASSERT_TRUE(
        WaitUntil([&] { return quarantine.RowCount() == static_cast<int>(std::size(kNames)); }));
    for (const char* name : kNames) {
        SCOPED_TRACE(name);
        int row = -1;
        ASSERT_TRUE(WaitUntil([&] { return (row = quarantine.RowOf(stick.Path(name))) >= 0; }));
        EXPECT_EQ(quarantine.Cell(row, 1), QuarantineFile(name + std::string(".kv")));
        quarantine.Select(row);
        EXPECT_EQ(ClickAndAnswer(quarantine, kRestore), "Restore " + stick.Path(name) + "?");
        EXPECT_EQ(Answer(), "Restore succeeded");
        EXPECT_EQ(ReadFileBytes(stick.FolderPath(name)), ContentOf(name));
    }
}

TEST_F(NamesTest, TheScanWalksFoldersOfAnyNameAndDeletesThroughTheQuarantine) {
    TestDrive stick('E', DriveKind::Removable);
    const std::string deep = "Документы\\Έγγραφα\\文件夹 😀\\";
    Strings expected;
    for (const char* name : kNames) {
        ASSERT_TRUE(stick.WriteFile(deep + name, ContentOf(name), kHidden));
        expected.push_back(stick.Path(deep + name));
    }
    ASSERT_TRUE(stick.WriteFile(deep + "Фото.jpg", "", kHidden));  // not a risky extension
    ASSERT_TRUE(app.StartHidden() && scan.Open(1006));
    ASSERT_TRUE(scan.SendClick(kScan));
    ASSERT_TRUE(WaitUntil([&] { return scan.IsEnabled(kScan); }, 30000));
    EXPECT_EQ(Sorted(scan.Column(0)), Sorted(expected));
    EXPECT_EQ(scan.Column(1), Strings(std::size(kNames), "Suspicious"));
    EXPECT_EQ(scan.ResultLine(), "5 threats found");

    EXPECT_EQ(ClickAndAnswer(scan, kScanDeleteAll), "Do you want to delete all?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(scan.WaitForAllStates("Deleted"));
    EXPECT_EQ(ListFolder(stick.FolderPath(deep)), Strings{"Фото.jpg"});
    for (const char* name : kNames)
        EXPECT_EQ(ReadFileBytes(QuarantineFile(name + std::string(".kv"))),
                  EncodeQuarantineFile(stick.Path(deep + name), ContentOf(name)))
            << name;
}
