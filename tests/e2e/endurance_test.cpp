// Long use and faults: sticks coming and going, quitting while each worker runs, a stick pulled
// out mid-delete, a quarantine folder that cannot exist, page switches under a scan. Objects
// are counted inside the program (tests/support/ObjectProbe.h). Short runs here; the group
// DISABLED_EnduranceLong runs the long ones and prints their figures.
#include <shlobj.h>

#include <cstdio>
#include <map>

#include "tests/support/ObjectProbe.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/ScanTree.h"
#include "tests/support/Screenshot.h"
#include "tests/support/Wait.h"
#include "usb/Immunity.h"

namespace {
constexpr UINT kShieldPage = 153, kScanPage = 152;
constexpr int kShieldDeleteAll = 1016, kScanButton = 1014, kStop = 1015;
constexpr int kQuarantineButton = 1011, kEmpty = 1004;
constexpr int kRepairButton = 1007, kRepair = 1002;
constexpr UINT kQuit = 1062;
constexpr DWORD kQuitTimeoutMs = 30000;
const std::pair<int, UINT> kPageButtons[] = {{1000, 129}, {1001, 153}, {1006, 152}, {1008, 155},
                                             {1010, 150}, {1009, 159}, {1007, 154}, {1011, 151}};

// Tolerances of a flat run: a few objects of caches that settle, and some heap. Wine's private
// memory steps up and down by 4 MB between one count and the next without any work done, so
// its tolerance is one such step and a megabyte; the long runs show any slow growth.
constexpr long kObjectSlack = 3, kHandleSlack = 10, kPrivateSlackKb = 5 * 1024;

struct Sizes {
    int cycles, threats, quarantineFiles, switches, cleanupFiles;
};
constexpr Sizes kShort = {30, 200, 300, 100, 2000};
constexpr Sizes kLong = {1000, 1000, 1000, 1000, 10000};

// Distinct content per threat, many copy blocks long.
// Every tenth one a megabyte, so a quit likely lands inside a copy.
std::string ThreatContent(int index) {
    std::string content = "MZ threat " + std::to_string(index) + " ";
    const size_t size = index % 10 == 9 ? 1000000 : 40000;
    content.reserve(size);
    while (content.size() < size) content += static_cast<char>('a' + content.size() % 26);
    return content;
}
std::string ThreatName(int index) { return "t" + std::to_string(index) + ".inf"; }

std::string DesktopPath(const std::string& name) {
    char desktop[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE);
    return desktop + std::string("\\") + name;
}

// The least of a few counts: a monitor pass or a worker running just then brings its stack
// and buffers (several megabytes under Wine) and takes them away again.
ProcessCounts SettledCounts(DWORD pid) {
    ProcessCounts least = CountObjectsOf(pid);
    for (int i = 0; i < 4; ++i) {
        ::Sleep(150);
        ProcessCounts now = CountObjectsOf(pid);
        least.gdi = std::min(least.gdi, now.gdi);
        least.user = std::min(least.user, now.user);
        least.handles = std::min(least.handles, now.handles);
        least.privateKb = std::min(least.privateKb, now.privateKb);
    }
    return least;
}

void ExpectFlat(const ProcessCounts& before, const ProcessCounts& after) {
    ASSERT_TRUE(before.Valid() && after.Valid());
    EXPECT_LE(after.gdi, before.gdi + kObjectSlack) << after.Describe();
    EXPECT_LE(after.user, before.user + kObjectSlack) << after.Describe();
    EXPECT_LE(after.handles, before.handles + kHandleSlack) << after.Describe();
    EXPECT_LE(after.privateKb, before.privateKb + kPrivateSlackKb) << after.Describe();
}

// Figures of a run: counts before and after, the longest UI round trip, the quit's time.
void Report(const char* run, const ProcessCounts& before, const ProcessCounts& after,
            double longestRoundTripMs, double quitMs = -1) {
    std::printf("[figures] %s: before %s; after %s; longest round trip %.0f ms", run,
                before.Describe().c_str(), after.Describe().c_str(), longestRoundTripMs);
    if (quitMs >= 0) std::printf("; quit %.0f ms", quitMs);
    std::printf("\n");
}

class EnduranceTest : public ProgramTest {
  protected:
    // By default the program with the process monitor passing every 600 ms, so its thread
    // runs under every case here.
    explicit EnduranceTest(const char* folder = "endurance",
                           const char* program = "testbin\\KoravantQuickWatch.exe")
        : ProgramTest(LaunchFolder(folder, "Koravant.exe", false, {}, program)) {}

    void SetUp() override {
        ProgramTest::SetUp();
        ::DeleteFileA(QuarantineFolder().c_str());  // a fault test may leave a file there
        app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    }
    void TearDown() override {
        ProgramTest::TearDown();
        ::DeleteFileA(QuarantineFolder().c_str());
    }

    // The time the window takes to answer now.
    double RoundTrip() const {
        double start = NowMs();
        EXPECT_TRUE(app.Answers());
        return NowMs() - start;
    }
    // Quits through the tray's command; its time, or -1 when the program did not end cleanly.
    double QuitNow() {
        double start = NowMs();
        PostCommand(Main(), kQuit);
        bool ended = app.WaitForExit(kQuitTimeoutMs);
        double took = NowMs() - start;
        EXPECT_TRUE(ended);
        EXPECT_EQ(app.ExitCode(), 0u);
        EXPECT_FALSE(AnyMessageBox(app.Pid()));
        return ended ? took : -1;
    }
    bool WriteThreats(TestDrive& stick, int count) {
        for (int i = 0; i < count; ++i)
            if (!stick.WriteFile(ThreatName(i), ThreatContent(i))) return false;
        return true;
    }
    // Every threat is on the stick as it was, or gone with a copy that decodes to it; nothing
    // else in the quarantine passes for a good copy.
    void ExpectNothingLost(const TestDrive& stick, int count) {
        std::map<std::string, int> byCopy;
        for (int i = 0; i < count; ++i) byCopy[ThreatName(i) + ".kv"] = i;
        for (const std::string& name : ListFolder(QuarantineFolder())) {
            std::string bytes = ReadFileBytes(QuarantineFile(name));
            if (bytes.compare(0, 11, "kestrelvane") != 0) continue;  // never listed
            auto found = byCopy.find(name);
            ASSERT_NE(found, byCopy.end()) << name;
            EXPECT_EQ(bytes, EncodeQuarantineFile(stick.Path(name.substr(0, name.size() - 3)),
                                                  ThreatContent(found->second)))
                << name;
        }
        for (int i = 0; i < count; ++i) {
            std::string name = ThreatName(i);
            if (stick.Exists(name)) {
                EXPECT_EQ(ReadFileBytes(stick.FolderPath(name)), ThreatContent(i)) << name;
            } else {
                EXPECT_EQ(ReadFileBytes(QuarantineFile(name + ".kv")),
                          EncodeQuarantineFile(stick.Path(name), ThreatContent(i)))
                    << name;
            }
        }
    }
    // Starts Delete all on the shield page and waits until `rows` rows say "Deleted".
    void DeleteAllUntil(int rows) {
        ASSERT_EQ(ClickAndAnswer(shield, kShieldDeleteAll), "Do you want to delete all?");
        ASSERT_EQ(Answer(), "Please wait for a while");
        ASSERT_TRUE(WaitUntil(
            [&] { return std::ranges::count(shield.Column(1), "Deleted") >= rows; }, 60000, 20));
    }

    void ArrivalsAndRemovals(const Sizes& sizes, const char* run);
    void QuitDuringDeleteAll(const Sizes& sizes, const char* run);
    void QuitDuringEmpty(const Sizes& sizes, const char* run);
    void PageSwitchesWhileScanning(const Sizes& sizes, const char* run);
    void QuitDuringCleanup(const Sizes& sizes, const char* run);
    double SwitchPagesDuringAScan(int switches);

    PageView shield{app, kShieldPage, 1015, 1017};
    PageView scan{app, kScanPage, 1024, 1025};
    PageView quarantine{app, 151, 1057};
};

void EnduranceTest::ArrivalsAndRemovals(const Sizes& sizes, const char* run) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(WriteFiles(stick, {"autorun.inf", "setup.exe"}, FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(stick.Remove() && app.StartHidden());
    ProcessCounts before;
    double longest = 0;
    for (int cycle = 0; cycle < sizes.cycles; ++cycle) {
        ASSERT_TRUE(stick.Plug() && SendDriveArrival(Main(), 'E'));
        ASSERT_TRUE(WaitUntil([&] { return shield.RowCount() == 2; })) << "cycle " << cycle;
        ASSERT_TRUE(app.WaitUntilVisible());
        ASSERT_TRUE(stick.Remove() && SendDriveRemoval(Main(), 'E'));
        // Every other cycle the window goes back into the tray.
        if (cycle % 2) ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
        longest = std::max(longest, RoundTrip());
        if (cycle == 2) before = SettledCounts(app.Pid());  // caches have settled
    }
    ProcessCounts after = SettledCounts(app.Pid());
    ExpectFlat(before, after);
    double last = RoundTrip();
    Report(run, before, after, std::max(longest, last), QuitNow());
}

void EnduranceTest::QuitDuringDeleteAll(const Sizes& sizes, const char* run) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(WriteThreats(stick, sizes.threats));
    ASSERT_TRUE(app.StartHidden() && shield.RowCount() == sizes.threats);
    ProcessCounts before = CountObjectsOf(app.Pid());
    DeleteAllUntil(sizes.threats / 4);
    // Quit at once: counting takes long enough for the worker to finish.
    double longest = RoundTrip();
    double quitMs = QuitNow();
    std::printf("[figures] %s: at start %s; longest round trip %.0f ms; quit %.0f ms\n", run,
                before.Describe().c_str(), longest, quitMs);
    ExpectNothingLost(stick, sizes.threats);
}

void EnduranceTest::QuitDuringEmpty(const Sizes& sizes, const char* run) {
    ASSERT_TRUE(CreateFolders(QuarantineFolder()));
    for (int i = 0; i < sizes.quarantineFiles; ++i)
        ASSERT_TRUE(WriteFileBytes(QuarantineFile(ThreatName(i) + ".kv"),
                                   EncodeQuarantineFile("E:\\" + ThreatName(i), ThreatContent(i))));
    ASSERT_TRUE(app.StartHidden() && quarantine.Open(kQuarantineButton));
    ASSERT_TRUE(WaitUntil([&] { return quarantine.RowCount() == sizes.quarantineFiles; }));
    ProcessCounts before = CountObjectsOf(app.Pid());
    ASSERT_EQ(ClickAndAnswer(quarantine, kEmpty),
              "Do you want to delete all quarantined files thoroughly?");
    ASSERT_EQ(Answer(), "Please wait for a while");
    ASSERT_TRUE(WaitUntil(
        [&] { return ListFolder(QuarantineFolder()).size() < size_t(sizes.quarantineFiles); },
        30000, 5));
    // Quit at once: counting takes long enough for the worker to finish.
    double longest = RoundTrip();
    double quitMs = QuitNow();
    std::printf("[figures] %s: at start %s; longest round trip %.0f ms; quit %.0f ms\n", run,
                before.Describe().c_str(), longest, quitMs);
    // Empty deletes without copies; whatever stays is whole.
    for (const std::string& name : ListFolder(QuarantineFolder())) {
        int index = std::stoi(name.substr(1));
        EXPECT_EQ(ReadFileBytes(QuarantineFile(name)),
                  EncodeQuarantineFile("E:\\" + ThreatName(index), ThreatContent(index)));
    }
}

// The cleanup deletes without copies, as it should; here only its end on a quit matters. The
// recycle bin it empties is the test's own (XDG_DATA_HOME, set in SetUp).
void EnduranceTest::QuitDuringCleanup(const Sizes& sizes, const char* run) {
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string work = std::string(temp) + "koravant-endurance";
    DeleteTree(work);
    for (int i = 0; i < sizes.cleanupFiles; ++i) {
        std::string folder = work + "\\f" + std::to_string(i / 100);
        ASSERT_TRUE(i % 100 != 0 || CreateFolders(folder));
        ASSERT_TRUE(WriteFileBytes(folder + "\\" + std::to_string(i) + ".tmp", ""));
    }
    PageView repair(app, 154, 1036);
    ASSERT_TRUE(app.StartHidden() && repair.Open(kRepairButton));
    ProcessCounts before = CountObjectsOf(app.Pid());
    ASSERT_EQ(ClickAndAnswer(repair, 1003),
              "Do you want to cleanup the system drive?\r\nPlease wait for a while!");
    ASSERT_TRUE(WaitUntil([&] { return repair.RowCount() > 0; }, 60000, 5));
    double longest = RoundTrip();
    double quitMs = QuitNow();
    std::printf("[figures] %s: at start %s; longest round trip %.0f ms; quit %.0f ms\n", run,
                before.Describe().c_str(), longest, quitMs);
    DeleteTree(work);
}

// A whole scan from the scan page with `switches` page switches under it; the longest round
// trip of the window meanwhile.
double EnduranceTest::SwitchPagesDuringAScan(int switches) {
    double longest = 0;
    EXPECT_TRUE(scan.Open(1006) && scan.SendClick(kScanButton));
    for (int i = 0; i < switches; ++i) {
        const auto& [button, page] = kPageButtons[i % std::size(kPageButtons)];
        ClickButton(Main(), button);
        EXPECT_TRUE(WaitUntil([&, page = page] { return app.VisiblePage() == page; }))
            << "switch " << i;
        longest = std::max(longest, RoundTrip());
    }
    // Run to its end, so both rounds list the same rows.
    EXPECT_TRUE(scan.Open(1006));
    EXPECT_TRUE(WaitUntil([&] { return scan.IsEnabled(kScanButton); }, 600000, 100));
    std::printf("[figures] scan listed %d rows\n", scan.RowCount());
    return longest;
}

void EnduranceTest::PageSwitchesWhileScanning(const Sizes& sizes, const char* run) {
    MappedDrive drive('E', EnsureScanTree());
    ASSERT_TRUE(drive.Plugged() && app.StartHidden());
    // A short round first: what the pages make on first use stays.
    SwitchPagesDuringAScan(2 * std::size(kPageButtons));
    ProcessCounts before = SettledCounts(app.Pid());
    double longest = SwitchPagesDuringAScan(sizes.switches);
    ProcessCounts after = SettledCounts(app.Pid());
    ExpectFlat(before, after);
    Report(run, before, after, longest, QuitNow());
}
}  // namespace

TEST_F(EnduranceTest, ArrivalsAndRemovalsLeaveCountsFlatAndListEveryTime) {
    ArrivalsAndRemovals(kShort, "arrivals");
}

TEST_F(EnduranceTest, QuittingDuringDeleteAllLosesNoFile) {
    QuitDuringDeleteAll(kShort, "quit during Delete all");
}

// A quit while a big threat is being copied ends the copy where it stands: the threat stays
// whole on the stick, and what was written of its copy is never listed as a good one.
TEST_F(EnduranceTest, QuittingInsideTheCopyOfABigThreatLeavesNoCopyPassingForGood) {
    TestDrive stick('E', DriveKind::Removable);
    std::string big(32 * 1000 * 1000, 'x');
    ASSERT_TRUE(stick.WriteFile("big.inf", big));
    ASSERT_TRUE(app.StartHidden() && shield.RowCount() == 1);
    ASSERT_EQ(ClickAndAnswer(shield, kShieldDeleteAll), "Do you want to delete all?");
    ASSERT_EQ(Answer(), "Please wait for a while");
    const std::string copy = QuarantineFile("big.inf.kv");
    ASSERT_TRUE(WaitUntil(
        [&] { return ::GetFileAttributesA(copy.c_str()) != INVALID_FILE_ATTRIBUTES; }, 10000, 1));
    QuitNow();
    bool deleted = !stick.Exists("big.inf");
    std::printf("[figures] quit inside a 32 MB copy: the threat %s\n",
                deleted ? "went with its copy" : "stayed");
    std::string written = ReadFileBytes(copy);
    if (deleted) {
        EXPECT_EQ(written, EncodeQuarantineFile("E:\\big.inf", big));
    } else {
        EXPECT_EQ(ReadFileBytes(stick.FolderPath("big.inf")), big);
        EXPECT_NE(written.compare(0, 11, "kestrelvane"), 0) << "a cut copy carries no marker";
    }
}

TEST_F(EnduranceTest, QuittingDuringEmptyEndsCleanly) {
    QuitDuringEmpty(kShort, "quit during Empty");
}

TEST_F(EnduranceTest, QuittingDuringADiskCleanupEndsCleanly) {
    QuitDuringCleanup(kShort, "quit during a cleanup of 2,000 files");
}

TEST_F(EnduranceTest, QuittingDuringARegistryRepairEndsCleanly) {
    ASSERT_TRUE(app.StartHidden() && PageView(app, 154, 1036).Open(kRepairButton));
    ASSERT_EQ(ClickAndAnswer(PageView(app, 154, 1036), kRepair), "Do you want to repair registry?");
    QuitNow();
}

TEST_F(EnduranceTest, QuittingDuringAScanEndsCleanly) {
    MappedDrive drive('E', EnsureScanTree());
    ASSERT_TRUE(drive.Plugged() && app.StartHidden() && scan.Open(1006));
    ASSERT_TRUE(scan.SendClick(kScanButton) && WaitUntil([&] { return scan.RowCount() > 0; }));
    QuitNow();
}

// Pulled out while the worker's notice is up, and again while it deletes: every row ends
// "Deleted" or "Delete failed", the closing notice comes, and nothing is lost.
TEST_F(EnduranceTest, StickPulledOutDuringDeleteAllEndsWithEveryRowSettled) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(WriteThreats(stick, kShort.threats));
    ASSERT_TRUE(app.StartHidden() && shield.RowCount() == kShort.threats);
    ASSERT_EQ(ClickAndAnswer(shield, kShieldDeleteAll), "Do you want to delete all?");
    MessageBoxInfo notice = WaitForMessageBox(app.Pid());
    ASSERT_EQ(notice.text, "Please wait for a while");
    ASSERT_TRUE(stick.Remove() && AnswerMessageBox(notice, IDOK));
    EXPECT_TRUE(shield.WaitForAllStates("Delete failed", 60000));
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");
    ASSERT_TRUE(shield.Open(1001));
    SaveScreenshot("endurance-stick-pulled", Main());

    ASSERT_TRUE(stick.Plug() && SendDriveArrival(Main(), 'E'));
    ASSERT_TRUE(WaitUntil([&] { return shield.RowCount() == kShort.threats; }));
    DeleteAllUntil(10);
    ASSERT_TRUE(stick.Remove());
    ASSERT_TRUE(WaitUntil(
        [&] {
            Strings states = shield.Column(1);
            return std::ranges::count(states, "Deleted") +
                       std::ranges::count(states, "Delete failed") ==
                   kShort.threats;
        },
        60000));
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");
    std::printf("[figures] stick pulled out mid-delete: %d of %d failed\n",
                static_cast<int>(std::ranges::count(shield.Column(1), "Delete failed")),
                kShort.threats);
    ASSERT_TRUE(SendDriveRemoval(Main(), 'E') && app.Answers());
    QuitNow();
    ASSERT_TRUE(stick.Plug());
    ExpectNothingLost(stick, kShort.threats);
}

// A restore to a stick that has been pulled out goes to the desktop and says so.
TEST_F(EnduranceTest, RestoreToAStickPulledOutGoesToTheDesktop) {
    std::string desktop = DesktopPath("t3.inf");
    ::DeleteFileA(desktop.c_str());
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(WriteThreats(stick, 5));
    ASSERT_TRUE(app.StartHidden() && shield.RowCount() == 5);
    DeleteAllUntil(5);
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");
    ASSERT_TRUE(stick.Remove() && SendDriveRemoval(Main(), 'E'));
    ASSERT_TRUE(quarantine.Open(kQuarantineButton) && quarantine.SendClick(1002));  // Refresh
    int row = -1;
    ASSERT_TRUE(WaitUntil([&] { return (row = quarantine.RowOf("E:\\t3.inf")) >= 0; }));
    quarantine.Select(row);
    EXPECT_EQ(ClickAndAnswer(quarantine, 1003), "Restore E:\\t3.inf?");
    EXPECT_EQ(Answer(), "Restore the file to desktop");
    EXPECT_EQ(ReadFileBytes(desktop), ThreatContent(3));
    EXPECT_TRUE(app.Answers());
    QuitNow();
    // The shell may be reading the new file for its desktop icon just now.
    WaitUntil([&] { return ::DeleteFileA(desktop.c_str()) != FALSE; });
}

// Pulled out while Acquire Immunity warns about the AutoRun file it deleted from the stick:
// the walk goes on, the closing message comes, and the stick holds nothing half made.
TEST_F(EnduranceTest, StickPulledOutDuringAcquireImmunityEndsWithItsMessage) {
    ASSERT_EQ(::GetLogicalDrives(), 1u << 2) << "immunity reaches every drive";
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("autorun.inf", "[autorun]", FILE_ATTRIBUTE_HIDDEN));
    PageView kit{app, 155, 0};
    ASSERT_TRUE(app.StartHidden() && kit.Open(1008));
    kit.Click(1030);
    MessageBoxInfo warning = WaitForMessageBox(app.Pid());
    EXPECT_EQ(warning.text.rfind("There may be virus on the root directory: E:\\", 0), 0u);
    ASSERT_TRUE(stick.Remove() && AnswerMessageBox(warning, IDOK));
    EXPECT_EQ(Answer(), "Your computer and USB storage are immune from virus");
    ASSERT_TRUE(SendDriveRemoval(Main(), 'E') && app.Answers());
    QuitNow();
    EXPECT_TRUE(ListFolder(stick.Folder()).empty());
    RemoveAllDriveImmunity(nullptr);  // C: plain again, the AutoRun policy back
}

TEST_F(EnduranceTest, AFileWhereTheQuarantineFolderBelongsKeepsEveryThreat) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(WriteThreats(stick, 5));
    ASSERT_TRUE(WriteFileBytes(QuarantineFolder(), "not a folder"));
    ASSERT_TRUE(app.StartHidden() && shield.RowCount() == 5);
    ASSERT_EQ(ClickAndAnswer(shield, kShieldDeleteAll), "Do you want to delete all?");
    ASSERT_EQ(Answer(), "Please wait for a while");
    EXPECT_TRUE(shield.WaitForAllStates("Delete failed"));
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");
    ASSERT_TRUE(shield.Open(1001));
    SaveScreenshot("endurance-no-quarantine-folder", Main());
    EXPECT_TRUE(app.Answers());
    QuitNow();
    EXPECT_EQ(ListFolder(stick.Folder()).size(), 5u);
    EXPECT_EQ(ReadFileBytes(QuarantineFolder()), "not a folder");
}

TEST_F(EnduranceTest, PageSwitchesWhileAScanRunsLeaveCountsFlat) {
    PageSwitchesWhileScanning(kShort, "page switches");
}

// A disk that fills up while quarantining, simulated by a test build whose copies fail at
// their second block: the small threat goes with its copy, the big one stays and says so.
class FullDiskTest : public EnduranceTest {
  protected:
    FullDiskTest() : EnduranceTest("endurance-full", "testbin\\KoravantFullDisk.exe") {}
};

TEST_F(FullDiskTest, AThreatWhoseCopyCannotBeWrittenStaysAndReadsDeleteFailed) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("small.inf", "[autorun]") &&
                stick.WriteFile("big.inf", ThreatContent(7)));
    ASSERT_TRUE(app.StartHidden() && shield.Open(1001) && shield.RowCount() == 2);
    ASSERT_EQ(ClickAndAnswer(shield, kShieldDeleteAll), "Do you want to delete all?");
    ASSERT_EQ(Answer(), "Please wait for a while");
    ASSERT_TRUE(WaitUntil([&] { return std::ranges::count(shield.Column(1), "Risky") == 0; }));
    EXPECT_EQ(shield.Cell(shield.RowOf("E:\\small.inf"), 1), "Deleted");
    EXPECT_EQ(shield.Cell(shield.RowOf("E:\\big.inf"), 1), "Delete failed");
    EXPECT_EQ(Answer(), "Please remove your USB disk and plug it into the computer again");
    SaveScreenshot("endurance-full-disk", Main());
    EXPECT_EQ(ReadFileBytes(stick.FolderPath("big.inf")), ThreatContent(7));
    EXPECT_FALSE(stick.Exists("small.inf"));
    EXPECT_EQ(ListFolder(QuarantineFolder()), Strings{"small.inf.kv"});
    QuitNow();
}

// The long runs: not run by default (--gtest_also_run_disabled_tests
// --gtest_filter='*EnduranceLong*'); they print their figures.
class DISABLED_EnduranceLong : public EnduranceTest {};

TEST_F(DISABLED_EnduranceLong, Arrivals) { ArrivalsAndRemovals(kLong, "1,000 arrivals"); }
TEST_F(DISABLED_EnduranceLong, QuitDuringDeleteAll) {
    QuitDuringDeleteAll(kLong, "quit during Delete all of 1,000");
}
TEST_F(DISABLED_EnduranceLong, QuitDuringEmpty) {
    QuitDuringEmpty(kLong, "quit during Empty of 1,000");
}
TEST_F(DISABLED_EnduranceLong, QuitDuringCleanup) {
    QuitDuringCleanup(kLong, "quit during a cleanup of 10,000 files");
}
TEST_F(DISABLED_EnduranceLong, PageSwitches) {
    PageSwitchesWhileScanning(kLong, "1,000 page switches");
}
