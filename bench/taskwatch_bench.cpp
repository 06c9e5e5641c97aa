// Process shield: a monitor pass over 100 running copies of an unversioned, visible test
// program named like no Windows file (the longest road) against a bare walk of the same
// processes; then the monitor's share of one core.   taskwatch_bench.exe [seconds, default 60]
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "process/ProbeCache.h"
#include "process/ProcessModule.h"
#include "process/ProcessMonitor.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
const std::string kWorkFolder = "C:\\koravant\\taskwatch-bench";

// Process snapshot, then per process one module snapshot and one attribute query.
void BareWalk() {
    ScopedHandle processes(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W process = {};
    process.dwSize = sizeof(process);
    for (BOOL more = ::Process32FirstW(processes.get(), &process); more;
         more = ::Process32NextW(processes.get(), &process)) {
        ScopedHandle modules(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.th32ProcessID));
        MODULEENTRY32W module = {};
        module.dwSize = sizeof(module);
        if (modules && ::Module32FirstW(modules.get(), &module))
            ::GetFileAttributesW(module.szExePath);
    }
}

// Milliseconds of `work`, the median of seven runs.
double MedianMs(const std::function<void()>& work) {
    std::vector<double> runs;
    for (int i = 0; i < 7; ++i) {
        double began = NowMs();
        work();
        runs.push_back(NowMs() - began);
    }
    std::ranges::sort(runs);
    return runs[3];
}

double ProcessCpuMs() {
    FILETIME unused, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &unused, &unused, &kernel, &user);
    auto ms = [](FILETIME t) {
        return (static_cast<double>(t.dwHighDateTime) * 4294967296.0 + t.dwLowDateTime) / 1e4;
    };
    return ms(kernel) + ms(user);
}

// Runs the real monitor thread against a window of this thread for `seconds`, taking every
// result as the page would; the CPU this process spends meanwhile is the monitor's.
double MonitorShare(int seconds, int& passes) {
    HWND window =
        ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    auto job = std::make_shared<MonitorJob>();
    job->link = WorkerLink::Create(window);
    double cpuBefore = ProcessCpuMs(), began = NowMs(), until = began + seconds * 1000.0;
    if (!StartProcessMonitor(job)) return -1;
    for (double now = began; now < until; now = NowMs()) {
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(until - now),
                                    QS_POSTMESSAGE);
        MSG msg;
        MonitorPassResult result;
        while (::PeekMessageA(&msg, window, 0, 0, PM_REMOVE))
            if (msg.message == WM_APP_TASKWATCH_PASS && job->TakeResult(result)) ++passes;
    }
    double share = (ProcessCpuMs() - cpuBefore) / (NowMs() - began);
    job->link->Cut();
    ::DestroyWindow(window);
    return share;
}
}  // namespace

int main(int argc, char** argv) {
    int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 60;
    DeleteTree(kWorkFolder);
    std::vector<std::unique_ptr<RunningProgram>> copies;
    for (int i = 0; i < 100; ++i) {
        std::string path = kWorkFolder + "\\twbench" + std::to_string(i) + ".exe";
        if (!CopyProgram(IdleProgramPath(false), path)) return 1;
        copies.push_back(std::make_unique<RunningProgram>(path));
    }
    // Every copy is walked only once its module list exists.
    std::string path;
    if (!WaitUntil([&] {
            return std::ranges::all_of(
                copies, [&](auto& c) { return GetProcessExeModule(c->Pid(), path); });
        }))
        return std::puts("taskwatch bench: the copies did not start"), 1;
    // A pass as the monitor makes it, remembering answers from the passes before.
    ProbeCache cache(CurrentProcessProbe());
    auto pass = [&] {
        std::vector<ProcessEntry> running;
        ListRunningProcesses(running);
        cache.NewPass();
        FindFlaggedProcesses(running, cache);
    };
    double bare = MedianMs(BareWalk), began = NowMs();
    pass();
    double first = NowMs() - began, later = MedianMs(pass);
    std::printf("taskwatch: 100 idle copies; bare walk %.1f ms (median of 7)\n", bare);
    for (auto [what, ms] : {std::pair{"first pass (nothing remembered)", first},
                            {"later passes (median of 7)", later}})
        std::printf("  monitor %-31s %7.1f ms = %.2fx: target within 2x: %s\n", what, ms, ms / bare,
                    ms <= 2 * bare ? "met" : "not met");
    int passes = 0;
    double share = MonitorShare(seconds, passes);
    std::printf(
        "  monitor's share of one core over %d s: %.3f %% in %d passes: target under 0.5 %%: %s\n",
        seconds, share * 100.0, passes, share < 0.005 ? "met" : "not met");
    copies.clear();
    DeleteTree(kWorkFolder);
    return 0;
}
