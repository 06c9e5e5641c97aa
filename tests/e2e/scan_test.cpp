// The scan page from end to end: every folder of every USB drive walked by the real program,
// with live progress, Stop, sticks pulled out mid-scan, and deletion through the quarantine.
#include <gtest/gtest.h>

#include <cstdio>

#include "tests/support/KoravantApp.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/PageNavigation.h"
#include "tests/support/PageView.h"
#include "tests/support/ScanTree.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr UINT kScanPage = 152;
constexpr int kScanPageButton = 1006;
constexpr int kList = 1024, kResult = 1025;
constexpr int kScan = 1014, kStop = 1015, kDelete = 1026, kDeleteAll = 1027;
constexpr UINT kQuitCommand = 1062;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;
constexpr size_t kMaxPath = 255;

using Strings = std::vector<std::string>;

class ScanTest : public ProgramTest {
  protected:
    ScanTest() : ProgramTest("scan") {}

    bool OpenScanPage() { return app.StartHidden() && OpenPage(app, kScanPageButton, kScanPage); }
    // Scan is disabled by the time the click returns, and enabled again when the scan ends
    // (a small scan may be over before the click's sender looks).
    bool StartScan() const { return SendClick(scan.Page(), kScan); }
    bool WaitForScanEnd(DWORD timeoutMs = 30000) const {
        return WaitUntil([&] { return scan.IsEnabled(kScan); }, timeoutMs);
    }
    bool Scan() const { return StartScan() && WaitForScanEnd(); }
    Strings Paths() const {
        Strings paths;
        for (const auto& row : scan.Rows()) paths.push_back(row[0]);
        return paths;
    }
    bool AllRowsRead(const std::string& state) const {
        for (const auto& row : scan.Rows())
            if (row[1] != state) return false;
        return true;
    }

    PageView scan{app, kScanPage, kList, kResult};
};

std::string ThreatsFound(size_t count) {
    return count == 0 ? "No threat found" : std::to_string(count) + " threats found";
}

// The rows a depth-first walk in stack order gives for a drive whose every file is
// suspicious, from the order in which FindFirstFile lists each folder here.
Strings StackOrderWalk(const std::string& root) {
    Strings rows, stack;
    std::string folder = root;
    for (;;) {
        for (const std::string& name : ListFolder(folder.substr(0, folder.size() - 1))) {
            std::string path = folder + name;
            if (::GetFileAttributesA(path.c_str()) & FILE_ATTRIBUTE_DIRECTORY)
                stack.push_back(path);
            else
                rows.push_back(path);
        }
        if (stack.empty()) return rows;
        folder = stack.back() + "\\";
        stack.pop_back();
    }
}

// A drive-relative folder path under `first` whose full path ("E:\...") is `length` long.
std::string ChainOfLength(char letter, const std::string& first, size_t length) {
    std::string path = std::string(1, letter) + ":\\" + first;
    while (length - path.size() > 62) path += "\\" + std::string(60, 'd');
    path += "\\" + std::string(length - path.size() - 1, 'e');
    return path.substr(3);
}
}  // namespace

TEST_F(ScanTest, SuspiciousFilesOfEveryFolderAreListedDriveAfterDrive) {
    ASSERT_TRUE(OpenScanPage());
    TestDrive second('F', DriveKind::Removable), first('E', DriveKind::Removable);
    ASSERT_TRUE(first.Plugged() && second.Plugged());
    // One entry per folder level where the order matters: a folder's files come before its
    // sub-folders whatever order the folder lists them in.
    first.WriteFile("x\\y\\autorun.exe", "MZ", kHidden);
    first.WriteFile("x\\a.vbs", "WScript.Echo 1");
    first.WriteFile("x\\game.exe", "MZ");
    second.WriteFile("run.js", "");
    second.WriteFile("deep\\er\\page.htm", "", kHidden);
    second.WriteFile("deep\\er\\plain.htm", "");
    second.WriteFile("deep\\er\\notes.txt", "", kHidden);
    ASSERT_TRUE(Scan());
    EXPECT_EQ(Paths(), (Strings{"E:\\x\\a.vbs", "E:\\x\\y\\autorun.exe", "F:\\run.js",
                                "F:\\deep\\er\\page.htm"}));
    EXPECT_TRUE(AllRowsRead("Suspicious"));
    EXPECT_EQ(scan.ResultLine(), "4 threats found");
    EXPECT_TRUE(scan.IsEnabled(kDelete));
    EXPECT_TRUE(scan.IsEnabled(kDeleteAll));
    EXPECT_EQ(ListColumnHeading(scan.List(), 0), "File");
    EXPECT_EQ(ListColumnHeading(scan.List(), 1), "State");
    EXPECT_EQ(ListColumnWidth(scan.List(), 0), 600);
    EXPECT_EQ(ListColumnWidth(scan.List(), 1), 135);
    scan.Select(1);
    SaveScreenshot("scan-page", Main());

    // A second scan replaces the rows rather than adding to them.
    ASSERT_TRUE(second.Remove());
    ASSERT_TRUE(Scan());
    EXPECT_EQ(Paths(), (Strings{"E:\\x\\a.vbs", "E:\\x\\y\\autorun.exe"}));
    EXPECT_EQ(scan.ResultLine(), "2 threats found");
}

TEST_F(ScanTest, TheWalkIsDepthFirstInStackOrder) {
    ASSERT_TRUE(OpenScanPage());
    TestDrive stick('E', DriveKind::Removable);
    for (const char* name :
         {"r.vbs", "A\\a.vbs", "A\\A1\\a1.vbs", "A\\A2\\a2.vbs", "A\\A3\\a3.js", "B\\b.vbs",
          "C\\c.vbs", "C\\c2.js", "C\\C1\\c1.vbs", "C\\C1\\C11\\c11.vbs", "C\\C2\\c2.vbs"})
        ASSERT_TRUE(stick.WriteFile(name, ""));
    Strings expected = StackOrderWalk("E:\\");
    ASSERT_EQ(expected.size(), 11u);
    ASSERT_TRUE(Scan());
    EXPECT_EQ(Paths(), expected);
    EXPECT_EQ(scan.ResultLine(), "11 threats found");
}

TEST_F(ScanTest, PathsPastTheBuffersAreSkippedNeverCut) {
    ASSERT_TRUE(OpenScanPage());
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("rest\\r.vbs", ""));
    // The long folder must be walked before "rest" to show that the walk goes on after it:
    // the folder listed last is walked first.
    std::string first;
    for (char letter = 'z'; letter >= 'a' && first.empty(); --letter) {
        std::string name = letter + std::string("deep");
        ASSERT_TRUE(stick.MakeFolder(name));
        Strings listed = ListFolder(stick.Folder());
        if (listed.back() == name)
            first = name;
        else
            ::RemoveDirectoryA(stick.FolderPath(name).c_str());
    }
    ASSERT_FALSE(first.empty());
    ASSERT_TRUE(stick.WriteFile(first + "\\mid.vbs", ""));
    const std::string chain = ChainOfLength('E', first, 248);
    auto make = [&](const std::string& relative) {
        return CreateLongFile(stick.FolderPath(chain + "\\" + relative));
    };
    ASSERT_TRUE(CreateLongFolder(stick.FolderPath(chain + "\\s")));
    ASSERT_TRUE(CreateLongFolder(stick.FolderPath(chain + "\\sub")));
    ASSERT_TRUE(make("ab.vbs"));             // 255 characters: listed
    ASSERT_TRUE(make("ab.vbs.longer.vbs"));  // cut at 255 it would read as the one above
    ASSERT_TRUE(make("s\\q.js"));            // 255: listed
    ASSERT_TRUE(make("s\\qq.js"));           // 256
    ASSERT_TRUE(make("sub\\z.vbs"));         // in a folder whose pattern would pass 255
    ASSERT_TRUE(Scan());
    const std::string drivePath = "E:\\" + chain;
    ASSERT_EQ(drivePath.size(), 248u);
    EXPECT_EQ(Paths(), (Strings{"E:\\" + first + "\\mid.vbs", drivePath + "\\ab.vbs",
                                drivePath + "\\s\\q.js", "E:\\rest\\r.vbs"}));
    for (const std::string& path : Paths()) EXPECT_LE(path.size(), kMaxPath);
    EXPECT_EQ(scan.ResultLine(), "4 threats found");
    ASSERT_TRUE(stick.Remove());
    DeleteLongTree(stick.FolderPath(first));
}

TEST_F(ScanTest, WithoutADriveTheRowsStay) {
    ASSERT_TRUE(OpenScanPage());
    {
        TestDrive stick('E', DriveKind::Removable);
        stick.WriteFile("a.vbs", "");
        ASSERT_TRUE(Scan());
        ASSERT_EQ(Paths(), (Strings{"E:\\a.vbs"}));
    }
    // Stop with no scan running does nothing.
    ASSERT_TRUE(SendClick(scan.Page(), kStop));
    EXPECT_TRUE(scan.IsEnabled(kScan));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));

    ASSERT_TRUE(StartScan());
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "USB drive not found");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));
    EXPECT_FALSE(scan.IsEnabled(kScan));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_TRUE(scan.WaitForResultLine("No threat found"));
    ListRows rows = scan.Rows();
    ASSERT_EQ(rows.size(), 1u);
    EXPECT_EQ(rows[0], (Strings{"E:\\a.vbs", "Suspicious"}));
    EXPECT_TRUE(scan.IsEnabled(kDelete));
    EXPECT_TRUE(scan.IsEnabled(kDeleteAll));
}

TEST_F(ScanTest, DeleteAsksWaitsAndQuarantines) {
    ASSERT_TRUE(OpenScanPage());
    scan.Click(kDelete);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "No threat found");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));

    TestDrive stick('E', DriveKind::Removable);
    stick.WriteFile("x\\run.vbs", "WScript.Echo \"\xff\"", FILE_ATTRIBUTE_READONLY);
    stick.WriteFile("x\\y\\autorun.exe", "MZ\x90", kHidden | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(Scan());
    ASSERT_EQ(Paths(), (Strings{"E:\\x\\run.vbs", "E:\\x\\y\\autorun.exe"}));
    scan.Select(-1);
    scan.Click(kDelete);
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please select a file");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));

    scan.Select(0);
    scan.Click(kDelete);
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Delete: E:\\x\\run.vbs?");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_FALSE(scan.IsEnabled(kScan));
    ASSERT_TRUE(AnswerMessageBox(box, IDCANCEL));
    ASSERT_TRUE(WaitUntil([&] { return scan.IsEnabled(kScan); }));
    EXPECT_TRUE(stick.Exists("x\\run.vbs"));
    EXPECT_EQ(scan.Cell(0, 1), "Suspicious");

    scan.Click(kDelete);
    ASSERT_TRUE(AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK));
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please wait for a while");
    EXPECT_FALSE(scan.IsEnabled(kScan));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return scan.Cell(0, 1) == "Deleted"; }));
    EXPECT_TRUE(WaitUntil([&] { return scan.IsEnabled(kScan); }));
    EXPECT_FALSE(stick.Exists("x\\run.vbs"));
    EXPECT_EQ(scan.Cell(1, 1), "Suspicious");
    std::string origin, content;
    ASSERT_TRUE(DecodeQuarantineFile(QuarantineFile("run.vbs.kv"), &origin, &content));
    EXPECT_EQ(origin, "E:\\x\\run.vbs");
    EXPECT_EQ(content, "WScript.Echo \"\xff\"");
    EXPECT_EQ(scan.ResultLine(), "2 threats found");
}

TEST_F(ScanTest, DeleteAllOfFilesAlreadyGoneMarksEveryRowDeleted) {
    ASSERT_TRUE(OpenScanPage());
    TestDrive stick('E', DriveKind::Removable);
    for (const char* name : {"a.vbs", "b\\c.js", "b\\d.cmd"}) stick.WriteFile(name, "");
    ASSERT_TRUE(Scan());
    ASSERT_EQ(scan.RowCount(), 3);
    for (const char* name : {"a.vbs", "b\\c.js", "b\\d.cmd"})
        ASSERT_TRUE(::DeleteFileA(stick.Path(name).c_str()));

    scan.Click(kDeleteAll);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Do you want to delete all?");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please wait for a while");
    // Nothing can start over the rows while the worker waits on its notice.
    EXPECT_TRUE(WaitUntil([&] {
        return !scan.IsEnabled(kScan) && !scan.IsEnabled(kDelete) && !scan.IsEnabled(kDeleteAll);
    }));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(scan.WaitForAllStates("Deleted"));
    EXPECT_TRUE(WaitUntil([&] {
        return scan.IsEnabled(kScan) && scan.IsEnabled(kDelete) && scan.IsEnabled(kDeleteAll);
    }));
    ::Sleep(300);
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(ListFolder(app.Folder() + "\\quarantine").empty());
}

// Scans long enough to watch, stop, pull out and quit: one tree of 100,000 files, built once
// and kept in the prefix for later runs (the scan benchmark uses it too).
class LongScanTest : public ScanTest {
  protected:
    static void SetUpTestSuite() { s_treeReady = EnsureScanTree(TreeFolder(), kLargeScanTree); }
    static std::string TreeFolder() { return ScanTreeFolder(kLargeScanTree); }

    void SetUp() override {
        ScanTest::SetUp();
        ASSERT_TRUE(s_treeReady);
        ASSERT_TRUE(drive.Plugged());
        ASSERT_TRUE(OpenScanPage());
    }

    // Starts the scan and waits until the result line reports files examined.
    bool StartAndWatchProgress(unsigned long* files = nullptr) {
        if (!StartScan()) return false;
        return WaitUntil(
            [&] {
                unsigned long examined = 0;
                bool shown = ReadProgress(scan.ResultLine(), nullptr, &examined, nullptr);
                if (files) *files = examined;
                return shown && examined > 0;
            },
            10000, 5);
    }

    // "Scanning <folder>\r\n<files> files examined, <threats> threats found"
    static bool ReadProgress(const std::string& line, std::string* folder, unsigned long* files,
                             int* threats) {
        size_t lineEnd = line.find("\r\n");
        if (line.rfind("Scanning ", 0) != 0 || lineEnd == std::string::npos) return false;
        if (folder) *folder = line.substr(9, lineEnd - 9);
        unsigned long examined = 0;
        int found = 0;
        char tail[64] = {};
        if (std::sscanf(line.c_str() + lineEnd + 2, "%lu files examined, %d threats %63s",
                        &examined, &found, tail) != 3 ||
            std::string(tail) != "found")
            return false;
        if (files) *files = examined;
        if (threats) *threats = found;
        return true;
    }

    static bool s_treeReady;
    MappedDrive drive{'E', TreeFolder()};
};
bool LongScanTest::s_treeReady = false;

TEST_F(LongScanTest, ProgressShowsAndStopKeepsTheRowsFound) {
    const ScanTreeCounts tree = CountsOf(kLargeScanTree);
    unsigned long earlier = 0;
    ASSERT_TRUE(StartAndWatchProgress(&earlier));
    EXPECT_TRUE(scan.IsEnabled(kStop));
    EXPECT_FALSE(scan.IsEnabled(kDelete));
    EXPECT_FALSE(scan.IsEnabled(kDeleteAll));
    std::string line = scan.ResultLine();
    std::string folder;
    unsigned long files = 0;
    int threats = 0;
    ASSERT_TRUE(ReadProgress(line, &folder, &files, &threats)) << line;
    EXPECT_EQ(folder.substr(0, 3), "E:\\");
    EXPECT_LE(folder.size(), 48u);
    EXPECT_GE(files, earlier);
    EXPECT_LE(static_cast<unsigned long>(threats), files);

    ClickButton(scan.Page(), kStop);
    double stopped = NowMs();
    ASSERT_TRUE(WaitForScanEnd());
    RecordProperty("scan_stop_ms", std::to_string(static_cast<int>(NowMs() - stopped)));
    Strings paths = Paths();
    EXPECT_GT(paths.size(), 0u);
    EXPECT_LT(paths.size(), tree.suspicious);
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(paths.size()));
    EXPECT_TRUE(AllRowsRead("Suspicious"));
    EXPECT_TRUE(scan.IsEnabled(kDelete));
    EXPECT_TRUE(scan.IsEnabled(kDeleteAll));
    for (const std::string& path : paths) EXPECT_EQ(path.substr(0, 4), "E:\\d");

    // A full scan afterwards lists the whole tree.
    ASSERT_TRUE(StartAndWatchProgress());
    SaveScreenshot("scan-running", Main());
    ASSERT_TRUE(WaitForScanEnd(120000));
    EXPECT_EQ(scan.RowCount(), static_cast<int>(tree.suspicious));
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(tree.suspicious));
}

TEST_F(LongScanTest, PullingTheDriveOutEndsTheScanCleanly) {
    ASSERT_TRUE(StartAndWatchProgress());
    ASSERT_TRUE(drive.Remove());
    ASSERT_TRUE(WaitForScanEnd());
    EXPECT_LT(scan.RowCount(), static_cast<int>(CountsOf(kLargeScanTree).suspicious));
    EXPECT_EQ(scan.ResultLine(), ThreatsFound(static_cast<size_t>(scan.RowCount())));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(app.IsRunning());
}

TEST_F(LongScanTest, QuittingWhileScanningEndsTheProcess) {
    ASSERT_TRUE(StartAndWatchProgress());
    PostCommand(Main(), kQuitCommand);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
}
