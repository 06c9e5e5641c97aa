// Start-up figures: time from process creation until the main window has hidden itself, the
// memory after start-up, and the executable's size, beside a minimal program of the same kind
// started the same way, which shows what Wine itself costs.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "res/resource.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr double kStartupAllowanceMs = 100;
// Start-up ms, working set MB and private MB of each run.
using Samples = std::vector<double>[3];

// Starts `exe` and waits until its window `title` exists, hidden, with child `page` shown
// (0: none); adds the time and, half a second later, the memory to `samples`.
bool Sample(const std::string& exe, const char* title, int page, Samples& samples) {
    HWND window = nullptr;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    double began = NowMs();
    if (!::CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return false;
    ScopedHandle process(info.hProcess), thread(info.hThread);
    auto settled = [&] {
        window = FindTopLevel(info.dwProcessId, "#32770", title);
        LONG_PTR shown = page ? ::GetWindowLongPtrA(::GetDlgItem(window, page), GWL_STYLE) : -1;
        return window && !::IsWindowVisible(window) && (shown & WS_VISIBLE);
    };
    bool ok = WaitUntil(settled, 30000, 2);
    samples[0].push_back(NowMs() - began);
    ::Sleep(500);
    PROCESS_MEMORY_COUNTERS counters = {};
    ok = ok && ::GetProcessMemoryInfo(process.get(), &counters, sizeof(counters));
    samples[1].push_back(counters.WorkingSetSize / (1024.0 * 1024.0));
    samples[2].push_back(counters.PagefileUsage / (1024.0 * 1024.0));
    // Quit as a user does, so the program takes its tray icon away: a killed program leaves a
    // dead icon in Wine's taskbar, and the icons pile up and slow every later run.
    if (page) PostCommand(window, ID_TRAY_QUIT);
    if (!page || ::WaitForSingleObject(process.get(), 5000) != WAIT_OBJECT_0)
        ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 5000);
    ::Sleep(200);  // the server's clean-up after the exit is not the next run's cost
    return ok;
}

// Sorts each run's `samples` and prints their medians.
void Report(const char* what, Samples& samples) {
    for (std::vector<double>& values : samples) std::sort(values.begin(), values.end());
    size_t median = samples[0].size() / 2;
    std::printf("%-28s start %5.0f ms   working set %5.1f MB   private %5.1f MB\n", what,
                samples[0][median], samples[1][median], samples[2][median]);
}
}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 15;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app({"startup-bench"});  // copies the program into a folder of its own
    Samples program, reference;
    // Interleaved, so both see the same machine.
    for (int run = 0; run < runs; ++run)
        if (!Sample(app.ExePath(), kMainWindowTitle, 129, program) ||
            !Sample(BuildFolder() + "\\MinimalWindow.exe", "Minimal window", 0, reference))
            return 1;
    // Each run's difference to the reference run beside it: steadier than the difference of the
    // medians on a machine whose load changes between runs.
    std::vector<double> paired;
    for (int run = 0; run < runs; ++run) paired.push_back(program[0][run] - reference[0][run]);
    std::ranges::sort(paired);
    std::printf("start-up to the hidden main window, medians of %d runs under Wine\n", runs);
    Report("Koravant.exe", program);
    Report("minimal window (reference)", reference);
    auto over = [&](int figure) { return program[figure][runs / 2] - reference[figure][runs / 2]; };
    std::printf("  Koravant over the reference: %+.0f ms start, ", over(0));
    std::printf("%+.1f MB working set, %+.1f MB private\n", over(1), over(2));
    // The aim: start-up within the minimal program's time plus 100 ms.
    std::printf("  median of the runs' differences: %+.0f ms; target reference + %.0f ms: %s\n",
                paired[runs / 2], kStartupAllowanceMs,
                paired[runs / 2] <= kStartupAllowanceMs ? "met" : "not met");
    WIN32_FILE_ATTRIBUTE_DATA exe = {};
    ::GetFileAttributesExA((BuildFolder() + "\\Koravant.exe").c_str(), GetFileExInfoStandard, &exe);
    std::printf("executable size (this build): %lu bytes\n", exe.nFileSizeLow);
    return 0;
}
