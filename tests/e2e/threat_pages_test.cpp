// The three pages of threats from end to end. The shield: arrivals list the threats in every
// stick's root, and deletes leave rows listed again alone. The scan: every folder of every USB
// drive walked, with live progress, Stop and sticks pulled out mid-scan. Threats of any name: the
// shield deletes hidden ones in a stick's root, the scan ones three folders down inside folders
// so named, both through the quarantine; the quarantine page lists only marked files, restores
// them to their origin or the desktop, and empties.
#include <shlobj.h>

#include <regex>

#include "res/resource.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/ScanTree.h"
#include "tests/support/Wait.h"

namespace {
// Cyrillic, Greek, Chinese, outside the Basic Multilingual Plane, and the code page's own.
const char* const kNames[] = {"Фото.exe", "Φωτογραφία.exe", "照片.exe", "😀 party.exe", "café.exe"};
const std::string kDeep = "Документы\\Έγγραφα\\文件夹 😀\\";
constexpr int kCount = int(std::size(kNames));
constexpr char kWait[] = "Please wait for a while";

std::string ContentOf(const std::string& name) { return std::string("MZ\0\xE3\xFF\r\n", 7) + name; }
bool Delete(const std::string& path) { return ::DeleteFileW(Utf8ToWide(path).c_str()) != FALSE; }

class ThreatPagesTest : public ProgramTest {
  protected:
    ThreatPagesTest() : ProgramTest("threat-pages") {}

    // Scan is disabled by the time the click returns, and enabled again when the scan ends.
    bool WaitForScanEnd() const {
        return WaitUntil([&] { return scan.IsEnabled(IDC_SCAN_START); }, 30000);
    }
    // A scan of the big tree ended part way: some of its threats, and a result line that fits.
    void ExpectEndedPartWay() const {
        int rows = scan.RowCount();
        EXPECT_LE(rows, int(kScanTreeSuspicious));
        EXPECT_EQ(scan.ResultLine(),
                  rows ? std::to_string(rows) + " threats found" : "No threat found");
    }
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

// The start-up alert first, for about three seconds (placed as the update window, whose test
// checks the corner). Rows that change under a question or a notice are left as they are.
TEST_F(ThreatPagesTest, ShieldArrivalsListEveryRootsThreatsAndDeletesLeaveRelistedRowsAlone) {
    ASSERT_TRUE(app.Start());
    HWND alert = WaitForWindow(app.Pid(), "Brellonix");
    ASSERT_TRUE(alert && WaitUntil([&] { return !::IsWindowVisible(alert); }, 10000));

    // Hidden on page 1, an arrival brings the window forward on the shield page, and it
    // re-examines every stick (two: Windows keeps one AUTORUN.INF per folder).
    TestDrive second('H', DriveKind::Removable), first('G', DriveKind::Removable);
    ASSERT_TRUE(WriteFiles(first, {"AUTORUN.INF", "x.INF"}) && WriteFiles(second, {"Autorun.inf"}));
    ASSERT_TRUE(SendDriveArrival(Main(), 'H'));
    EXPECT_TRUE(::IsWindowVisible(Main()) && app.VisiblePage() == IDD_PLUGWATCH);
    EXPECT_EQ(Sorted(shield.Column(0)),
              (Strings{"G:\\AUTORUN.INF", "G:\\x.INF", "H:\\Autorun.inf"}));
    EXPECT_EQ(shield.ResultLine(), "3 threats found");
    // One stick pulled out while another stays: the one left is listed again.
    ASSERT_TRUE(second.Remove() && SendDriveRemoval(Main(), 'H'));
    EXPECT_EQ(shield.Column(0), (Strings{"G:\\AUTORUN.INF", "G:\\x.INF"}));
    // Pulling the last stick changes nothing visible: the branch any change takes when no USB
    // drive is left (which drives count is the drive list's unit test). Device changes are
    // sent: handled when the call returns.
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.WaitUntilHidden() && first.Remove() && SendDriveRemoval(Main(), 'G'));
    EXPECT_TRUE(!::IsWindowVisible(Main()) && shield.RowCount() == 2);

    // While Delete all's worker waits on its notice, another stick re-lists the rows under it:
    // the worker ends without touching a file or saying a word.
    TestDrive stick('E', DriveKind::Removable), other('J', DriveKind::Removable);
    ASSERT_TRUE(WriteFiles(stick, {"a.inf", "b.inf"}) && shield.Open(IDC_PAGE_PLUGWATCH) &&
                SendDriveArrival(Main(), 'E') && shield.RowCount() == 2);
    ASSERT_EQ(ClickAndAnswer(shield, IDC_SHIELD_DELETE_ALL), "Do you want to delete all?");
    MessageBoxInfo notice = WaitForMessageBox(app.Pid());
    ASSERT_EQ(notice.text, kWait);
    ScopedHandle worker = OpenOwnerThread(notice.window);
    ASSERT_TRUE(WriteFiles(other, {"z.inf"}) && SendDriveArrival(Main(), 'J'));
    ASSERT_EQ(shield.RowCount(), 3);
    EXPECT_TRUE(AnswerMessageBox(notice, IDOK) &&
                ::WaitForSingleObject(worker.get(), 10000) == WAIT_OBJECT_0 &&
                !AnyMessageBox(app.Pid()));
    EXPECT_EQ(ListFolder(stick.Folder()).size(), 2u);
    EXPECT_EQ(shield.Column(1), Strings(3, "Risky"));

    // So does a single Delete whose rows change under its question: the file goes, but the
    // row now in its place keeps its state.
    shield.Select(2);
    shield.Click(IDC_SHIELD_DELETE);
    MessageBoxInfo question = WaitForMessageBox(app.Pid());
    ASSERT_EQ(question.text, "Delete: J:\\z.inf?");
    ASSERT_TRUE(WriteFiles(stick, {"c.inf"}) && SendDriveArrival(Main(), 'E'));
    EXPECT_TRUE(AnswerMessageBox(question, IDOK));
    EXPECT_EQ(Answer(), kWait);
    EXPECT_TRUE(app.Answers() && !other.Exists("z.inf"));
    EXPECT_EQ(shield.Column(1), Strings(4, "Risky"));
}

// Two small sticks, then the scan benchmark's tree, long enough to watch, stop and pull out.
TEST_F(ThreatPagesTest, ScanWalksDepthFirstAndShowsItsProgressUntilStoppedOrPulledOut) {
    ASSERT_TRUE(app.StartHidden() && scan.Open(IDC_PAGE_PLUGSWEEP));
    EXPECT_EQ(ClickAndAnswer(scan, IDC_SCAN_DELETE), "No threat found");  // every list page's check
    TestDrive second('F', DriveKind::Removable), first('E', DriveKind::Removable);
    ASSERT_TRUE(
        WriteFiles(first, {"r.vbs", "A\\a.vbs", "A\\A1\\a1.vbs", "B\\b.vbs", "B\\y\\game.exe"}) &&
        WriteFiles(second, {"run.js"}));
    ASSERT_TRUE(scan.SendClick(IDC_SCAN_START) && WaitForScanEnd());
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
    ASSERT_TRUE(first.Remove() && second.Remove() && scan.SendClick(IDC_SCAN_START));
    EXPECT_EQ(Answer(), "USB drive not found");
    EXPECT_TRUE(WaitForScanEnd() && scan.WaitForResultLine("No threat found"));
    EXPECT_EQ(scan.Column(0), rows);

    TestDrive drive('G', EnsureScanTree());
    ASSERT_TRUE(drive.Plugged() && scan.SendClick(IDC_SCAN_START));
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
    ASSERT_FALSE(scan.IsEnabled(IDC_SCAN_START)) << "still scanning";
    EXPECT_TRUE(scan.SendClick(IDC_SCAN_DELETE) && scan.SendClick(IDC_SCAN_DELETE_ALL) &&
                !AnyMessageBox(app.Pid()));
    scan.Click(IDC_SCAN_STOP);
    ASSERT_TRUE(WaitForScanEnd());
    ExpectEndedPartWay();
    EXPECT_TRUE(scan.IsEnabled(IDC_SCAN_DELETE) && scan.IsEnabled(IDC_SCAN_DELETE_ALL));

    auto scanning = [&] { return scan.ResultLine().rfind("Scanning G:\\", 0) == 0; };
    ASSERT_TRUE(scan.SendClick(IDC_SCAN_START) && WaitUntil(scanning, 10000, 5));
    ASSERT_TRUE(drive.Remove() && WaitForScanEnd() && !AnyMessageBox(app.Pid()));
    ExpectEndedPartWay();
}

TEST_F(ThreatPagesTest, ThreatsOfAnyNameGoThroughTheQuarantineAndComeBack) {
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
    EXPECT_EQ(Sorted(shield.Column(0)), Sorted(inRoot));  // their state: the shield's test
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
    ASSERT_TRUE(WaitForScanEnd());
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
