// The scan page from end to end: every folder of every USB drive walked by the real program,
// with live progress, Stop, sticks pulled out mid-scan, and deletion through the quarantine.
#include <gtest/gtest.h>

#include <regex>

#include "tests/support/PageView.h"
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

// The rows a depth-first walk in stack order gives when every file is suspicious, from the
// order in which FindFirstFile lists each folder here.
Strings StackOrderWalk(const std::string& root) {
    Strings rows, stack{root};
    while (!stack.empty()) {
        std::string folder = stack.back();
        stack.pop_back();
        for (const std::string& name : ListFolder(folder)) {
            std::string path = folder + "\\" + name;
            bool isFolder = ::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY;
            (isFolder ? stack : rows).push_back(path);
        }
    }
    return rows;
}
}  // namespace

TEST_F(ScanTest, EveryFolderIsWalkedDepthFirstDriveAfterDriveAndDeleteAllCopesWithGoneFiles) {
    ASSERT_TRUE(OpenScanPage());
    TestDrive second('F', DriveKind::Removable), first('E', DriveKind::Removable);
    ASSERT_TRUE(WriteFiles(first, {"r.vbs", "A\\a.vbs", "A\\A1\\a1.vbs", "A\\A2\\a2.js", "B\\b.vbs",
                                   "x\\a.vbs", "x\\game.exe"}));
    ASSERT_TRUE(WriteFiles(first, {"x\\y\\autorun.exe"}, FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(WriteFiles(second, {"run.js"}));
    Strings expected = StackOrderWalk("E:");
    std::erase(expected, "E:\\x\\game.exe");  // a visible program
    expected.push_back("F:\\run.js");
    ASSERT_TRUE(Scan());
    EXPECT_EQ(scan.Column(0), expected);
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(expected.size()));
    scan.Select(1);
    SaveScreenshot("scan-page", Main());

    // Files gone since the scan are simply marked deleted.
    for (const std::string& path : expected) ASSERT_TRUE(::DeleteFileA(path.c_str()));
    EXPECT_EQ(ClickAndAnswer(scan, kDeleteAll), "Do you want to delete all?");
    // Nothing can start over the rows while the worker waits on its notice.
    EXPECT_TRUE(WaitUntil([&] { return !scan.IsEnabled(kScan) && !scan.IsEnabled(kDeleteAll); }));
    EXPECT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(scan.WaitForAllStates("Deleted"));
    ::Sleep(300);
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(ListFolder(QuarantineFolder()).empty());

    // Without a drive the rows of the last scan stay.
    ASSERT_TRUE(WaitForScanEnd());
    ASSERT_TRUE(first.Remove() && second.Remove() && scan.SendClick(kScan));
    EXPECT_EQ(Answer(), "USB drive not found");
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_TRUE(scan.WaitForResultLine("No threat found"));
    EXPECT_EQ(scan.Column(0), expected);
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
    EXPECT_EQ(scan.ResultLine(), "4 threats found");
}

// On the scan benchmark's tree, long enough to watch, stop, pull out and quit.
TEST_F(ScanTest, ALongScanEndsOnStopOnItsDrivePulledOutAndOnQuit) {
    MappedDrive drive('E', EnsureScanTree());
    ASSERT_TRUE(drive.Plugged() && OpenScanPage() && scan.SendClick(kScan));
    ASSERT_TRUE(WaitUntil([&] { return scan.RowCount() > 0; }, 10000, 5));
    const std::regex progress("Scanning E:\\\\.+\r\n\\d+ files examined, \\d+ threats found");
    EXPECT_TRUE(std::regex_match(scan.ResultLine(), progress)) << scan.ResultLine();
    SaveScreenshot("scan-running", Main());
    scan.Click(kStop);
    double stopped = NowMs();
    ASSERT_TRUE(WaitForScanEnd());
    RecordProperty("scan_stop_ms", std::to_string(static_cast<int>(NowMs() - stopped)));
    size_t rows = static_cast<size_t>(scan.RowCount());
    EXPECT_GT(rows, 0u);
    EXPECT_LT(rows, kScanTreeSuspicious);
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(rows));
    EXPECT_TRUE(scan.IsEnabled(kDelete) && scan.IsEnabled(kDeleteAll));

    auto scanning = [&] { return scan.ResultLine().rfind("Scanning E:\\", 0) == 0; };
    ASSERT_TRUE(scan.SendClick(kScan) && WaitUntil(scanning, 10000, 5));
    ASSERT_TRUE(drive.Remove() && WaitForScanEnd());
    rows = static_cast<size_t>(scan.RowCount());
    EXPECT_LT(rows, kScanTreeSuspicious);
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(rows));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));

    ASSERT_TRUE(drive.Plug() && scan.SendClick(kScan) && WaitUntil(scanning, 10000, 5));
    PostCommand(Main(), 1062);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
}
