// The scan page from end to end: every folder of every USB drive walked by the real program,
// with live progress, Stop and sticks pulled out mid-scan.
#include <regex>

#include "tests/support/ProgramTest.h"
#include "tests/support/ScanTree.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kScan = 1014, kStop = 1015, kDelete = 1026, kDeleteAll = 1027;

class ScanTest : public ProgramTest {
  protected:
    ScanTest() : ProgramTest("scan") {}

    // Scan is disabled by the time the click returns, and enabled again when the scan ends.
    bool WaitForScanEnd() const {
        return WaitUntil([&] { return scan.IsEnabled(kScan); }, 30000);
    }
    // A scan of the big tree ended part way: some of its threats, and a result line that fits.
    void ExpectEndedPartWay() const {
        int rows = scan.RowCount();
        EXPECT_LE(rows, int(kScanTreeSuspicious));
        EXPECT_EQ(scan.ResultLine(),
                  rows ? std::to_string(rows) + " threats found" : "No threat found");
    }

    PageView scan{app, 152, 1024, 1025};
};
}  // namespace

// Two small sticks, then the scan benchmark's tree, long enough to watch, stop and pull out.
TEST_F(ScanTest, WalksDepthFirstAndShowsItsProgressUntilStoppedOrPulledOut) {
    ASSERT_TRUE(app.StartHidden() && scan.Open(1006));
    EXPECT_EQ(ClickAndAnswer(scan, kDelete), "No threat found");  // every list page's check
    TestDrive second('F', DriveKind::Removable), first('E', DriveKind::Removable);
    ASSERT_TRUE(
        WriteFiles(first, {"r.vbs", "A\\a.vbs", "A\\A1\\a1.vbs", "B\\b.vbs", "B\\y\\game.exe"}) &&
        WriteFiles(second, {"run.js"}));
    ASSERT_TRUE(scan.SendClick(kScan) && WaitForScanEnd());
    // A folder's files as it lists them, then the folder found last first, to the bottom; the
    // visible program never. Which of A and B comes first is the drive's own listing order.
    const Strings aListedFirst = {"E:\\r.vbs", "E:\\B\\b.vbs", "E:\\A\\a.vbs", "E:\\A\\A1\\a1.vbs",
                                  "F:\\run.js"};
    const Strings bListedFirst = {"E:\\r.vbs", "E:\\A\\a.vbs", "E:\\A\\A1\\a1.vbs", "E:\\B\\b.vbs",
                                  "F:\\run.js"};
    Strings rows = scan.Column(0);
    EXPECT_TRUE(rows == aListedFirst || rows == bListedFirst) << testing::PrintToString(rows);
    EXPECT_EQ(scan.ResultLine(), "5 threats found");
    // Delete and Delete all: the quarantine page's test, through the page code the shield shares.

    // Without a drive the rows of the last scan stay.
    ASSERT_TRUE(first.Remove() && second.Remove() && scan.SendClick(kScan));
    EXPECT_EQ(Answer(), "USB drive not found");
    EXPECT_TRUE(WaitForScanEnd() && scan.WaitForResultLine("No threat found"));
    EXPECT_EQ(scan.Column(0), rows);

    TestDrive drive('G', EnsureScanTree());
    ASSERT_TRUE(drive.Plugged() && scan.SendClick(kScan));
    // The count of files examined grows, and every threat is a file examined.
    const std::regex progress("Scanning G:\\\\.+\r\n(\\d+) files examined, (\\d+) threats found");
    for (unsigned long look = 0, files = 0; look < 2; ++look) {
        std::string line;
        std::smatch n;
        ASSERT_TRUE(WaitUntil(
            [&] {
                line = scan.ResultLine();
                return std::regex_match(line, n, progress) && std::stoul(n[1]) > files;
            },
            10000, 5))
            << line;
        EXPECT_LE(std::stoul(n[2]), files = std::stoul(n[1])) << line;
    }
    // Delete and Delete all do nothing while the rows are being replaced: no question comes
    // (a question would hold the click until answered).
    ASSERT_FALSE(scan.IsEnabled(kScan)) << "still scanning";
    EXPECT_TRUE(scan.SendClick(kDelete) && scan.SendClick(kDeleteAll) && !AnyMessageBox(app.Pid()));
    scan.Click(kStop);
    ASSERT_TRUE(WaitForScanEnd());
    ExpectEndedPartWay();
    EXPECT_TRUE(scan.IsEnabled(kDelete) && scan.IsEnabled(kDeleteAll));

    auto scanning = [&] { return scan.ResultLine().rfind("Scanning G:\\", 0) == 0; };
    ASSERT_TRUE(scan.SendClick(kScan) && WaitUntil(scanning, 10000, 5));
    ASSERT_TRUE(drive.Remove() && WaitForScanEnd() && !AnyMessageBox(app.Pid()));
    ExpectEndedPartWay();
}
