// Shield figures on a drive root of 5,000 entries, 1,000 of them threats: the root's examination
// here, and the program's time from the arrival (sent: back once handled) to the filled list.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "tests/support/PageView.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "usb/RootExamination.h"

namespace {
constexpr int kEntries = 5000, kThreats = 1000;
const char* const kNames[] = {"setup%d.inf", "run%d.exe", "open%d.lnk", "tool%d.exe",
                              "photo%d.jpg"};

// Every fifth entry a threat of one of three kinds; the rest a stick's usual files, programs too.
bool FillRoot(TestDrive& drive) {
    bool written = true;
    for (int i = 0; written && i < kEntries; ++i) {
        int kind = i % 5 ? 3 + i % 2 : (i / 5) % 3;
        char name[32];
        std::snprintf(name, sizeof(name), kNames[kind], i);
        written = drive.WriteFile(
            name, "", kind == 1 || kind == 2 ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL);
    }
    return written;
}
// The least any examination does: list the root and read each entry's attributes once.
size_t BareRootWalk() {
    size_t entries = 0;
    for (FileFinder find("E:\\*.*"); find.Found(); find.Next())
        if (!find.IsDotEntry() && FileAttributes("E:\\" + find.Name()) != INVALID_FILE_ATTRIBUTES)
            ++entries;
    return entries;
}
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app({"shield-bench"});
    PageView shield(app, 153, 1015, 1017);
    TestDrive stick('E', DriveKind::Removable);
    // Started while the stick is empty, so the start-up look finds nothing.
    bool ok = stick.Plugged() && app.StartHidden() && FillRoot(stick);
    std::vector<double> examineMs, arrivalMs, walkMs;
    size_t found = ok ? FindRootThreats('E').size() : 0;  // the host's caches warm up first
    for (int round = 0; ok && round < rounds; ++round) {
        double began = NowMs();
        ok = BareRootWalk() == static_cast<size_t>(kEntries);
        walkMs.push_back(NowMs() - began);
        began = NowMs();
        found = FindRootThreats('E').size();
        examineMs.push_back(NowMs() - began);
        ::ShowWindow(app.MainWindow(), SW_HIDE);
        began = NowMs();
        ok = SendDriveArrival(app.MainWindow(), 'E') && ok;
        arrivalMs.push_back(NowMs() - began);
        ok = ok && found == static_cast<size_t>(kThreats) && shield.RowCount() == kThreats &&
             shield.ResultLine() == std::to_string(kThreats) + " threats found";
    }
    if (!ok) std::printf("shield bench: the root was not set up, examined or listed in full\n");
    if (!ok) return 1;
    for (auto* ms : {&examineMs, &arrivalMs, &walkMs}) std::sort(ms->begin(), ms->end());
    const char* figures = "  %-34s median %7.1f ms  worst %7.1f ms%s\n";
    std::printf("shield on a root of %d entries with %d threats, %d rounds\n", kEntries, kThreats,
                rounds);
    std::printf(figures, "bare walk of the root", walkMs[rounds / 2], walkMs.back(), "");
    std::printf(figures, "root examination in this process", examineMs[rounds / 2],
                examineMs.back(), ("  (" + std::to_string(found) + " found)").c_str());
    std::printf(figures, "arrival to filled list (program)", arrivalMs[rounds / 2],
                arrivalMs.back(), "");
    double examination = examineMs[rounds / 2], walk = walkMs[rounds / 2];
    std::printf("  target: examination within 1.5x the bare walk (%.2fx): %s\n", examination / walk,
                examination <= 1.5 * walk ? "met" : "not met");
    std::printf("  target: list filled within 1000 ms: %s\n",
                arrivalMs.back() <= 1000 ? "met" : "not met");
    return 0;
}
