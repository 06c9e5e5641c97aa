// Shield figures on a drive root of 5,000 entries, 1,000 of them threats: the examination of
// the root in this process, and the program's time from the arrival message (which returns
// once its handler has) to the filled shield list.   shield_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/PageView.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "usb/RootExamination.h"

namespace {
constexpr int kEntries = 5000, kThreats = 1000;

// Every fifth entry is a threat, in three kinds; the rest look like a stick's usual content,
// visible programs included.
bool FillRoot(TestDrive& drive) {
    static const char* const kNames[] = {"setup%d.inf", "run%d.exe", "open%d.lnk", "tool%d.exe",
                                         "photo%d.jpg"};
    for (int i = 0; i < kEntries; ++i) {
        int kind = i % 5 ? 3 + i % 2 : (i / 5) % 3;
        char name[32];
        std::snprintf(name, sizeof(name), kNames[kind], i);
        bool hidden = kind == 1 || kind == 2;
        if (!drive.WriteFile(name, "", hidden ? FILE_ATTRIBUTE_HIDDEN : FILE_ATTRIBUTE_NORMAL))
            return false;
    }
    return true;
}

// Prints the median and the worst of `ms`, then `tail`; returns the worst.
double PrintFigures(const char* label, std::vector<double> ms, const std::string& tail = "") {
    std::sort(ms.begin(), ms.end());
    std::printf("  %-34s median %7.1f ms  worst %7.1f ms%s\n", label, ms[ms.size() / 2], ms.back(),
                tail.c_str());
    return ms.back();
}
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app({"shield-bench"});
    TestDrive stick('E', DriveKind::Removable);
    // Started while the stick is empty, so the start-up look finds nothing.
    if (!stick.Plugged() || !app.StartHidden() || !FillRoot(stick)) {
        std::printf("shield bench: the program or the drive could not be prepared\n");
        return 1;
    }

    std::vector<double> examineMs, arrivalMs;
    size_t found = FindRootThreats('E').size();  // the host's caches warm up first
    PageView shield(app, 153, 1015, 1017);
    bool filled = true;
    for (int round = 0; round < rounds; ++round) {
        double began = NowMs();
        found = FindRootThreats('E').size();
        examineMs.push_back(NowMs() - began);
        ::ShowWindow(app.MainWindow(), SW_HIDE);
        began = NowMs();
        if (!SendDriveArrival(app.MainWindow(), 'E')) return 1;
        arrivalMs.push_back(NowMs() - began);
        filled = filled && shield.RowCount() == kThreats &&
                 shield.ResultLine() == std::to_string(kThreats) + " threats found";
    }
    app.Kill();

    std::printf("shield on a root of %d entries with %d threats, %d rounds\n", kEntries, kThreats,
                rounds);
    PrintFigures("root examination in this process", examineMs,
                 "  (" + std::to_string(found) + " found)");
    double worst = PrintFigures("arrival to filled list (program)", arrivalMs);
    std::printf("  target: list filled within 1000 ms: %s\n", worst <= 1000 ? "met" : "MISSED");
    if (!filled) std::printf("  THE LIST WAS NOT FILLED as expected\n");
    return found == static_cast<size_t>(kThreats) && filled ? 0 : 1;
}
