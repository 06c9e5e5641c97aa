// Start-up figures: time from process creation until the main window has hidden itself,
// the working set after start-up, and the executable's size.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/support/KoravantApp.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"

namespace {
double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double WorkingSetMb(DWORD pid) {
    ScopedHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!process || !::GetProcessMemoryInfo(process.get(), &counters, sizeof(counters))) return -1;
    return static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
}
}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    std::vector<double> startMs, workingSet;
    for (int run = 0; run < runs; ++run) {
        KoravantApp app({"startup-bench"});
        double began = NowMs();
        if (!app.Start()) return 1;
        // Poll tightly: the figure is the time until the window is there and hidden.
        if (!WaitUntil(
                [&] {
                    HWND main = app.MainWindow();
                    return main && !::IsWindowVisible(main) &&
                           (::GetWindowLongPtrA(main, GWL_STYLE) & WS_VISIBLE) == 0 &&
                           app.VisiblePage() != 0;
                },
                30000, 2))
            return 1;
        startMs.push_back(NowMs() - began);
        ::Sleep(500);
        workingSet.push_back(WorkingSetMb(app.Pid()));
        app.Kill();
    }
    WIN32_FILE_ATTRIBUTE_DATA exe = {};
    std::string exePath = BuildFolder() + "\\Koravant.exe";
    ::GetFileAttributesExA(exePath.c_str(), GetFileExInfoStandard, &exe);
    std::printf("startup to hidden main window: median %.0f ms over %d runs (min %.0f, max %.0f)\n",
                Median(startMs), runs, *std::min_element(startMs.begin(), startMs.end()),
                *std::max_element(startMs.begin(), startMs.end()));
    std::printf("working set after start-up: median %.1f MB\n", Median(workingSet));
    std::printf("executable size (this build): %lu bytes\n",
                static_cast<unsigned long>(exe.nFileSizeLow));
    return 0;
}
