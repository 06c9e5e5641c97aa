// Scan throughput: the scan page's full scan of a removable drive holding 100,000 files in
// 10,000 folders (5% suspicious), from the Scan command to the final result line, against a
// bare FindFirstFile/FindNextFile walk with one GetFileAttributes per file of the same tree,
// measured side by side in one run (best of a few rounds each). Also: the scan engine alone,
// in this process, and the worst round trip to the main window while the rows arrive.
//   scan_bench.exe [rounds [suspicious-every]]
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/PageNavigation.h"
#include "tests/support/PageView.h"
#include "tests/support/ScanTree.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "usb/DriveScan.h"

namespace {
constexpr char kLetter = 'E';
constexpr UINT kScanPage = 152;
constexpr int kScanPageButton = 1006, kList = 1024, kResult = 1025, kScan = 1014;
constexpr DWORD kScanTimeoutMs = 600000;

bool IsDot(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// The least any scan must do: list every folder and ask each file's attributes once.
unsigned long BareWalk(const std::string& root) {
    unsigned long files = 0;
    std::vector<std::string> stack{root};
    WIN32_FIND_DATAA entry;
    while (!stack.empty()) {
        std::string folder = std::move(stack.back());
        stack.pop_back();
        ScopedFindHandle find(::FindFirstFileA((folder + "*.*").c_str(), &entry));
        if (!find) continue;
        do {
            if (IsDot(entry.cFileName)) continue;
            std::string path = folder + entry.cFileName;
            if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                stack.push_back(path + "\\");
            } else {
                ::GetFileAttributesA(path.c_str());
                ++files;
            }
        } while (::FindNextFileA(find.get(), &entry));
    }
    return files;
}

unsigned long EngineScan(unsigned long* files) {
    std::atomic<bool> running{true};
    ScanCallbacks callbacks;
    *files = 0;
    callbacks.onFile = [&] { ++*files; };
    return static_cast<unsigned long>(ScanDrive(kLetter, running, callbacks));
}

struct ProgramRound {
    double ms = 0;
    int rows = 0;
    Responsiveness ui;
    bool finished = false;
};

ProgramRound ScanInProgram(const KoravantApp& app, const PageView& page,
                           const std::string& finalLine) {
    ProgramRound round;
    double began = NowMs();
    // Scan is disabled before the click returns, and enabled again when the scan is over.
    if (!SendClick(page.Page(), kScan)) return round;
    round.finished = WaitWhilePinging(
        app.MainWindow(), [&] { return page.IsEnabled(kScan) && page.ResultLine() == finalLine; },
        kScanTimeoutMs, &round.ui);
    round.ms = NowMs() - began;
    WaitUntil([&] { return page.IsEnabled(kScan); });
    round.rows = page.RowCount();
    return round;
}

double PerSecond(unsigned long count, double ms) { return count * 1000.0 / ms; }
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    ScanTreeShape shape = kLargeScanTree;
    if (argc > 2) shape.suspiciousEvery = std::max(1, std::atoi(argv[2]));
    std::string treeFolder = ScanTreeFolder(shape);
    ScanTreeCounts counts = CountsOf(shape);
    double began = NowMs();
    if (!EnsureScanTree(treeFolder, shape)) {
        std::printf("scan bench: the tree could not be built\n");
        return 1;
    }
    double buildMs = NowMs() - began;
    MappedDrive drive(kLetter, treeFolder);
    if (!drive.Plugged()) return 1;
    const std::string root = std::string(1, kLetter) + ":\\";

    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app({"scan-bench"});
    PageView page(app, kScanPage, kList, kResult);
    if (!app.StartHidden() || !OpenPage(app, kScanPageButton, kScanPage)) return 1;
    char finalLine[64];
    if (counts.suspicious == 0)
        std::snprintf(finalLine, sizeof(finalLine), "No threat found");
    else
        std::snprintf(finalLine, sizeof(finalLine), "%lu threats found", counts.suspicious);

    std::vector<double> bareMs, engineMs;
    std::vector<ProgramRound> program;
    unsigned long bareFiles = 0, engineFiles = 0, engineFound = 0;
    BareWalk(root);  // the host's caches warm up for every contender alike
    for (int round = 0; round < rounds; ++round) {
        double start = NowMs();
        bareFiles = BareWalk(root);
        bareMs.push_back(NowMs() - start);
        start = NowMs();
        engineFound = EngineScan(&engineFiles);
        engineMs.push_back(NowMs() - start);
        program.push_back(ScanInProgram(app, page, finalLine));
        if (!program.back().finished) {
            std::printf("scan bench: the program's scan did not finish (result line \"%s\")\n",
                        page.ResultLine().c_str());
            return 1;
        }
    }
    app.Kill();

    auto best = [](const std::vector<double>& v) { return *std::min_element(v.begin(), v.end()); };
    auto fastest = *std::min_element(program.begin(), program.end(),
                                     [](const auto& a, const auto& b) { return a.ms < b.ms; });
    double worstUi = 0, medianUi = 0;
    for (const ProgramRound& round : program) {
        worstUi = std::max(worstUi, round.ui.worstMs);
        medianUi = std::max(medianUi, round.ui.medianMs);
    }
    std::printf("scan of %lu files in %lu folders (%lu suspicious), best of %d rounds\n",
                counts.files, counts.folders, counts.suspicious, rounds);
    if (buildMs > 1000) std::printf("  tree built in %.1f s\n", buildMs / 1000);
    double bare = best(bareMs);
    std::printf("  bare walk + 1 attribute query   %8.0f ms  %9.0f files/s  (%lu files)\n", bare,
                PerSecond(bareFiles, bare), bareFiles);
    std::printf(
        "  scan engine in this process     %8.0f ms  %9.0f files/s  %.2fx the walk  "
        "(%lu files, %lu found)\n",
        best(engineMs), PerSecond(engineFiles, best(engineMs)), best(engineMs) / bare, engineFiles,
        engineFound);
    std::printf(
        "  scan in the program             %8.0f ms  %9.0f files/s  %.2fx the walk  "
        "(%d rows)\n",
        fastest.ms, PerSecond(counts.files, fastest.ms), fastest.ms / bare, fastest.rows);
    std::printf("  main window round trip during the scan: worst %.1f ms, median %.1f ms\n",
                worstUi, medianUi);
    std::printf("  target: scan within 1.5x the walk: %s\n",
                fastest.ms <= 1.5 * bare ? "met" : "MISSED");
    bool right = bareFiles == counts.files && engineFiles == counts.files &&
                 engineFound == counts.suspicious &&
                 fastest.rows == static_cast<int>(counts.suspicious);
    if (!right) std::printf("  COUNTS DIFFER from the tree's\n");
    return right ? 0 : 1;
}
