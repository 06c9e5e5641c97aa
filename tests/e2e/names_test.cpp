// Files named in any script, from end to end: the shield lists a hidden one in a stick's root,
// the scan finds one three folders down inside folders so named, both delete them through the
// quarantine, and the quarantine page lists and restores them under their own names.
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
// Cyrillic, Greek, Chinese, outside the Basic Multilingual Plane, and the code page's own.
const char* const kNames[] = {"Фото.exe", "Φωτογραφία.exe", "照片.exe", "😀 party.exe", "café.exe"};
const std::string kDeep = "Документы\\Έγγραφα\\文件夹 😀\\";
constexpr int kCount = int(std::size(kNames));

std::string ContentOf(const std::string& name) { return std::string("MZ\0\xE3\xFF\r\n", 7) + name; }

class NamesTest : public ProgramTest {
  protected:
    NamesTest() : ProgramTest("names") {}

    PageView shield{app, 153, 1015, 1017};
    PageView scan{app, 152, 1024, 1025};
    PageView quarantine{app, 151, 1057};
};
}  // namespace

TEST_F(NamesTest, ShieldAndScanDeleteFilesOfAnyNameAndTheQuarantineRestoresThem) {
    TestDrive stick('E', DriveKind::Removable);
    Strings files, inRoot, below;  // paths on the stick
    for (const char* name : kNames) {
        files.insert(files.end(), {name, kDeep + name});
        inRoot.push_back(stick.Path(name));
        below.push_back(stick.Path(kDeep + name));
    }
    for (const std::string& file : files)
        ASSERT_TRUE(stick.WriteFile(file, ContentOf(file), FILE_ATTRIBUTE_HIDDEN));
    // No risky extension.
    ASSERT_TRUE(stick.WriteFile("Фото.txt", "", FILE_ATTRIBUTE_HIDDEN) &&
                stick.WriteFile(kDeep + "Фото.jpg", "", FILE_ATTRIBUTE_HIDDEN));

    ASSERT_TRUE(app.StartHidden() && shield.Open(1001));
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

    // Both kinds of quarantine file side by side, each restored byte-identical under its name.
    ASSERT_TRUE(quarantine.Open(1011) && quarantine.SendClick(1002));  // Refresh
    ASSERT_TRUE(WaitUntil([&] { return quarantine.RowCount() == 2 * kCount; }));
    for (const std::string& file : files) {
        SCOPED_TRACE(file);
        quarantine.Select(quarantine.RowOf(stick.Path(file)));
        EXPECT_EQ(ClickAndAnswer(quarantine, 1003), "Restore " + stick.Path(file) + "?");
        EXPECT_EQ(Answer(), "Restore succeeded");
        EXPECT_EQ(ReadFileBytes(stick.FolderPath(file)), ContentOf(file));
    }
}
