// The scan page from end to end: every folder of every USB drive walked by the real program,
// with live progress, Stop, sticks pulled out mid-scan, and deletion through the quarantine.
#include <regex>

#include "tests/support/ProgramTest.h"
#include "tests/support/ScanTree.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kScan = 1014, kStop = 1015, kDelete = 1026, kDeleteAll = 1027;

class ScanTest : public ProgramTest {
  protected:
    ScanTest() : ProgramTest("scan") {}

    bool OpenScanPage() { return app.StartHidden() && scan.Open(1006); }
    // Scan is disabled by the time the click returns, and enabled again when the scan ends.
    bool WaitForScanEnd() const {
        return WaitUntil([&] { return scan.IsEnabled(kScan); }, 30000);
    }
    bool Scan() const { return scan.SendClick(kScan) && WaitForScanEnd(); }

    PageView scan{app, 152, 1024, 1025};
};

std::string ThreatsFound(size_t count) {
    return count == 0 ? "No threat found" : std::to_string(count) + " threats found";
}
}  // namespace

TEST_F(ScanTest, EveryFolderIsWalkedDepthFirstDriveAfterDriveAndDeleteAllCopesWithGoneFiles) {
    ASSERT_TRUE(OpenScanPage());
    TestDrive second('F', DriveKind::Removable), first('E', DriveKind::Removable);
    ASSERT_TRUE(
        WriteFiles(first, {"r.vbs", "A\\a.vbs", "A\\A1\\a1.vbs", "B\\b.vbs", "B\\game.exe"}) &&
        WriteFiles(first, {"B\\y\\autorun.exe"}, FILE_ATTRIBUTE_HIDDEN) &&
        WriteFiles(second, {"run.js"}) && Scan());
    // A folder's files as it lists them, then the folder found last first, to the bottom; the
    // visible program never. Which of A and B comes first is the drive's own listing order.
    const Strings aListedFirst = {"E:\\r.vbs",    "E:\\B\\b.vbs",      "E:\\B\\y\\autorun.exe",
                                  "E:\\A\\a.vbs", "E:\\A\\A1\\a1.vbs", "F:\\run.js"};
    const Strings bListedFirst = {"E:\\r.vbs",    "E:\\A\\a.vbs",          "E:\\A\\A1\\a1.vbs",
                                  "E:\\B\\b.vbs", "E:\\B\\y\\autorun.exe", "F:\\run.js"};
    Strings rows = scan.Column(0);
    EXPECT_TRUE(rows == aListedFirst || rows == bListedFirst) << testing::PrintToString(rows);
    EXPECT_EQ(scan.ResultLine(), "6 threats found");
    scan.Select(1);
    SaveScreenshot("scan-page", Main());

    // One Delete: asked, copied into the quarantine, deleted.
    std::string path = rows[1];
    EXPECT_EQ(ClickAndAnswer(scan, kDelete), "Delete: " + path + "?");
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(WaitUntil([&] { return scan.Cell(1, 1) == "Deleted"; }));
    EXPECT_EQ(::GetFileAttributesA(path.c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(ReadFileBytes(QuarantineFile(path.substr(path.rfind('\\') + 1) + ".kv")),
              EncodeQuarantineFile(path, ""));

    // Files gone since the scan are simply marked deleted.
    for (const std::string& gone : rows) ::DeleteFileA(gone.c_str());
    EXPECT_EQ(ClickAndAnswer(scan, kDeleteAll), "Do you want to delete all?");
    // Nothing can start over the rows while the worker waits on its notice.
    EXPECT_TRUE(WaitUntil([&] { return !scan.IsEnabled(kScan) && !scan.IsEnabled(kDeleteAll); }));
    MessageBoxInfo notice = WaitForMessageBox(app.Pid());
    ScopedHandle worker = OpenOwnerThread(notice.window);
    EXPECT_TRUE(AnswerMessageBox(notice, IDOK) && scan.WaitForAllStates("Deleted"));
    EXPECT_TRUE(WaitForThreadEnd(worker) && !AnyMessageBox(app.Pid()));
    EXPECT_EQ(ListFolder(QuarantineFolder()).size(), 1u);

    // Without a drive the rows of the last scan stay.
    ASSERT_TRUE(WaitForScanEnd() && first.Remove() && second.Remove() && scan.SendClick(kScan));
    EXPECT_EQ(Answer(), "USB drive not found");
    EXPECT_TRUE(WaitForScanEnd() && scan.WaitForResultLine("No threat found"));
    EXPECT_EQ(scan.Column(0), rows);
}

TEST_F(ScanTest, PathsPastTheBuffersAreSkippedNeverCut) {
    ASSERT_TRUE(OpenScanPage());
    TestDrive stick('E', DriveKind::Removable);
    Strings expected;
    // Two such folders: whichever is walked first, the walk is seen to go on after it.
    for (const char* top : {"a", "b"}) {
        std::string folder = std::string("E:\\") + top;
        for (char c : {'d', 'd', 'd', 'e'}) folder += "\\" + std::string(60, c);
        ASSERT_EQ(folder.size(), 248u);
        ASSERT_TRUE(CreateFolders(folder + "\\s") && CreateFolders(folder + "\\sub"));
        // "ab.vbs" and "s\q.js" make 255 characters; "ab.vbs.js" cut at 255 would read as the
        // first, "s\qq.js" makes 256, and the pattern of "sub" would pass 255.
        for (const char* name : {"ab.vbs", "ab.vbs.js", "s\\q.js", "s\\qq.js", "sub\\z.vbs"})
            ASSERT_TRUE(WriteFileBytes(folder + "\\" + name, ""));
        expected.insert(expected.end(), {folder + "\\ab.vbs", folder + "\\s\\q.js"});
    }
    ASSERT_TRUE(Scan());
    EXPECT_EQ(Sorted(scan.Column(0)), expected);
}

// On the scan benchmark's tree, long enough to watch, stop, pull out and quit.
TEST_F(ScanTest, ALongScanEndsOnStopOnItsDrivePulledOutAndOnQuit) {
    MappedDrive drive('E', EnsureScanTree());
    ASSERT_TRUE(drive.Plugged() && OpenScanPage() && scan.SendClick(kScan));
    ASSERT_TRUE(WaitUntil([&] { return scan.RowCount() > 0; }, 10000, 5));
    // The counts only grow, and every threat is a file examined.
    const std::regex progress("Scanning E:\\\\.+\r\n(\\d+) files examined, (\\d+) threats found");
    unsigned long files = 0, threats = 0;
    for (int look = 0; look < 3; ++look) {
        std::string line = scan.ResultLine();
        std::smatch n;
        if (!std::regex_match(line, n, progress)) continue;  // the scan may be over
        EXPECT_TRUE(std::stoul(n[1]) >= files && std::stoul(n[2]) >= threats) << line;
        files = std::stoul(n[1]);
        threats = std::stoul(n[2]);
        EXPECT_LE(threats, files) << line;
    }
    EXPECT_GT(files, 0u) << "progress seen";
    // Delete and Delete all do nothing while the rows are being replaced: no question comes
    // (a question would hold the click until answered).
    ASSERT_FALSE(scan.IsEnabled(kScan)) << "still scanning";
    EXPECT_TRUE(scan.SendClick(kDelete) && scan.SendClick(kDeleteAll) && !AnyMessageBox(app.Pid()));
    SaveScreenshot("scan-running", Main());
    scan.Click(kStop);
    ASSERT_TRUE(WaitForScanEnd());
    size_t rows = static_cast<size_t>(scan.RowCount());
    EXPECT_TRUE(rows > 0 && rows <= kScanTreeSuspicious);
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(rows));
    EXPECT_TRUE(scan.IsEnabled(kDelete) && scan.IsEnabled(kDeleteAll));

    auto scanning = [&] { return scan.ResultLine().rfind("Scanning E:\\", 0) == 0; };
    ASSERT_TRUE(scan.SendClick(kScan) && WaitUntil(scanning, 10000, 5));
    ASSERT_TRUE(drive.Remove() && WaitForScanEnd());
    rows = static_cast<size_t>(scan.RowCount());
    EXPECT_TRUE(rows <= kScanTreeSuspicious && !AnyMessageBox(app.Pid()));
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(rows));

    ASSERT_TRUE(drive.Plug() && scan.SendClick(kScan) && WaitUntil(scanning, 10000, 5));
    PostCommand(Main(), 1062);
    EXPECT_TRUE(app.WaitForExit() && app.ExitCode() == 0);
}
