// Shield figures on a drive root of 5,000 entries, 1,000 of them threats: the examination of
// the root in this process (FindRootThreats), and the real program's time from the arrival
// message to the filled shield list (the message returns once the program's handler has).
//   shield_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "tests/support/KoravantApp.h"
#include "tests/support/PageView.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "usb/RootExamination.h"

namespace {
constexpr int kEntries = 5000;
constexpr int kThreats = 1000;
constexpr UINT kShieldPage = 153;
constexpr int kList = 1015, kResult = 1017;
constexpr double kFilledWithinMs = 1000;

// Every fifth entry is a threat, in three kinds; the rest look like a stick's usual content,
// visible programs included.
bool FillRoot(TestDrive& drive) {
    for (int i = 0; i < kEntries; ++i) {
        char name[32];
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        if (i % 5 == 0) {
            static const char* const kThreatNames[] = {"setup%d.inf", "run%d.exe", "open%d.lnk"};
            std::snprintf(name, sizeof(name), kThreatNames[(i / 5) % 3], i);
            if ((i / 5) % 3 != 0) attributes = FILE_ATTRIBUTE_HIDDEN;
        } else {
            std::snprintf(name, sizeof(name), i % 2 ? "photo%d.jpg" : "tool%d.exe", i);
        }
        if (!drive.WriteFile(name, "", attributes)) return false;
    }
    return true;
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Worst(const std::vector<double>& values) {
    return *std::max_element(values.begin(), values.end());
}
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 5;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app({"shield-bench"});
    // Started before the stick exists, so the start-up look finds nothing.
    if (!app.StartHidden()) return 1;
    TestDrive stick('E', DriveKind::Removable);
    if (!stick.Plugged() || !FillRoot(stick)) {
        std::printf("shield bench: the drive could not be prepared\n");
        return 1;
    }

    std::vector<double> examineMs, arrivalMs;
    size_t found = 0;
    FindRootThreats('E');  // the host's caches warm up first
    for (int round = 0; round < rounds; ++round) {
        double began = NowMs();
        found = FindRootThreats('E').size();
        examineMs.push_back(NowMs() - began);
    }

    PageView shield(app, kShieldPage, kList, kResult);
    bool filled = true;
    for (int round = 0; round < rounds; ++round) {
        ::ShowWindow(app.MainWindow(), SW_HIDE);
        double began = NowMs();
        if (!SendDriveArrival(app.MainWindow(), 'E')) return 1;
        arrivalMs.push_back(NowMs() - began);
        filled = filled && shield.RowCount() == kThreats &&
                 shield.ResultLine() == std::to_string(kThreats) + " threats found";
    }
    app.Kill();

    std::printf("shield on a root of %d entries with %d threats, %d rounds\n", kEntries, kThreats,
                rounds);
    std::printf(
        "  root examination in this process   median %7.1f ms  worst %7.1f ms  (%zu found)\n",
        Median(examineMs), Worst(examineMs), found);
    std::printf("  arrival to filled list (program)   median %7.1f ms  worst %7.1f ms\n",
                Median(arrivalMs), Worst(arrivalMs));
    std::printf("  target: list filled within %.0f ms: %s\n", kFilledWithinMs,
                Worst(arrivalMs) <= kFilledWithinMs ? "met" : "MISSED");
    if (!filled) std::printf("  THE LIST WAS NOT FILLED as expected\n");
    return found == static_cast<size_t>(kThreats) && filled ? 0 : 1;
}
