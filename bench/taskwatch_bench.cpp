// Process shield: one monitor pass over 100 running copies of an unversioned, visible test
// program with names found in no Windows folder (each takes the longest road), against a bare
// walk of the same processes in the same run; then the monitor thread's share of one core
// with those processes idle.   taskwatch_bench.exe [seconds for the share, default 60]
#include <windows.h>
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "process/ProbeCache.h"
#include "process/ProcessJudge.h"
#include "process/ProcessModule.h"
#include "process/ProcessMonitor.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestPrograms.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kCopies = 100;
constexpr int kRounds = 7;
const std::string kWorkFolder = "C:\\koravant\\taskwatch-bench";

// Process snapshot, then per process one module snapshot and one attribute query.
size_t BareWalk() {
    size_t seen = 0;
    ScopedHandle processes(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
    PROCESSENTRY32W process = {};
    process.dwSize = sizeof(process);
    for (BOOL more = ::Process32FirstW(processes.get(), &process); more;
         more = ::Process32NextW(processes.get(), &process)) {
        ScopedHandle modules(::CreateToolhelp32Snapshot(TH32CS_SNAPMODULE, process.th32ProcessID));
        MODULEENTRY32W module = {};
        module.dwSize = sizeof(module);
        if (modules && ::Module32FirstW(modules.get(), &module) &&
            ::GetFileAttributesW(module.szExePath) != INVALID_FILE_ATTRIBUTES)
            ++seen;
    }
    return seen;
}

// A pass as the monitor makes it, remembering answers from the passes before.
size_t MonitorPass(ProbeCache& cache) {
    std::vector<ProcessEntry> running;
    ListRunningProcesses(running);
    cache.NewPass();
    return FindFlaggedProcesses(running, cache).size();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double ProcessCpuMs() {
    FILETIME created, ended, kernel, user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &ended, &kernel, &user);
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
    for (int i = 0; i < kCopies; ++i) {
        std::string path = kWorkFolder + "\\twbench" + std::to_string(i) + ".exe";
        if (!CopyProgram(IdleProgramPath(false), path)) return 1;
        copies.push_back(std::make_unique<RunningProgram>(path));
        if (!copies.back()->Running()) return 1;
    }
    // Every copy is walked only once its module list exists.
    bool mapped = WaitUntil([&] {
        std::string path;
        for (const auto& copy : copies)
            if (!GetProcessExeModule(copy->Pid(), path)) return false;
        return true;
    });
    if (!mapped) std::printf("taskwatch bench: the copies did not start\n");
    if (!mapped) return 1;
    std::vector<double> bare, pass, bareCpu, passCpu;
    size_t walked = 0, flagged = 0;
    ProbeCache cache(CurrentProcessProbe());
    double firstPass = 0;
    for (int round = 0; round <= kRounds; ++round) {
        double began = NowMs(), cpu = ProcessCpuMs();
        walked = BareWalk();
        bare.push_back(NowMs() - began);
        bareCpu.push_back(ProcessCpuMs() - cpu);
        began = NowMs();
        cpu = ProcessCpuMs();
        flagged = MonitorPass(cache);
        if (round == 0) {
            firstPass = NowMs() - began;
            continue;
        }
        pass.push_back(NowMs() - began);
        passCpu.push_back(ProcessCpuMs() - cpu);
    }
    std::printf(
        "taskwatch: %d idle copies running; %zu processes with a module list, %zu flagged\n",
        kCopies, walked, flagged);
    std::printf("  bare walk (snapshots and attributes)   %8.1f ms (median of %d)\n", Median(bare),
                kRounds);
    std::printf("  first monitor pass (nothing remembered) %7.1f ms  (%.2fx the bare walk)\n",
                firstPass, firstPass / Median(bare));
    std::printf("  later monitor passes                   %8.1f ms  (%.2fx the bare walk)\n",
                Median(pass), Median(pass) / Median(bare));
    std::printf("  CPU of this process: bare walk %.1f ms, later pass %.1f ms (10 ms steps)\n",
                Median(bareCpu), Median(passCpu));
    int passes = 0;
    double share = MonitorShare(seconds, passes);
    std::printf(
        "  monitor's share of one core over %d s  %8.3f %% (%d passes, 5 s then every 10 s)\n",
        seconds, share * 100.0, passes);
    copies.clear();
    DeleteTree(kWorkFolder);
    return 0;
}
