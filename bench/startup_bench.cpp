// Start-up figures: time from process creation until the main window has hidden itself, the
// memory after start-up, and the executable's size, beside a minimal program of the same kind
// started the same way, which shows what Wine itself costs.
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <vector>

#include "tests/support/KoravantApp.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
struct Sample {
    double startMs;
    double workingSetMb;
    double privateMb;
};

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

double Median(const std::vector<Sample>& samples, double Sample::*field) {
    std::vector<double> values;
    for (const Sample& sample : samples) values.push_back(sample.*field);
    return Median(values);
}

void MeasureMemory(DWORD pid, Sample* sample) {
    ScopedHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
    PROCESS_MEMORY_COUNTERS counters = {};
    counters.cb = sizeof(counters);
    if (!process || !::GetProcessMemoryInfo(process.get(), &counters, sizeof(counters))) return;
    sample->workingSetMb = static_cast<double>(counters.WorkingSetSize) / (1024.0 * 1024.0);
    sample->privateMb = static_cast<double>(counters.PagefileUsage) / (1024.0 * 1024.0);
}

// The program: until its main window exists, is hidden and shows its first page.
bool SampleKoravant(Sample* sample) {
    KoravantApp app({"startup-bench"});
    double began = NowMs();
    if (!app.Start()) return false;
    if (!WaitUntil(
            [&] {
                HWND main = app.MainWindow();
                return main && (::GetWindowLongPtrA(main, GWL_STYLE) & WS_VISIBLE) == 0 &&
                       app.VisiblePage() != 0;
            },
            30000, 2))
        return false;
    sample->startMs = NowMs() - began;
    ::Sleep(500);
    MeasureMemory(app.Pid(), sample);
    app.Kill();
    return true;
}

// The reference: until its one hidden window exists.
bool SampleReference(Sample* sample) {
    std::string exe = BuildFolder() + "\\MinimalWindow.exe";
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info = {};
    double began = NowMs();
    if (!::CreateProcessA(exe.c_str(), nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &info))
        return false;
    ScopedHandle process(info.hProcess), thread(info.hThread);
    bool started = WaitUntil(
        [&] { return FindTopLevel(info.dwProcessId, "#32770", "Minimal window") != nullptr; },
        30000, 2);
    if (started) {
        sample->startMs = NowMs() - began;
        ::Sleep(500);
        MeasureMemory(info.dwProcessId, sample);
    }
    ::TerminateProcess(process.get(), 0);
    ::WaitForSingleObject(process.get(), 5000);
    return started;
}

void Report(const char* what, const std::vector<Sample>& samples) {
    std::printf("%-28s start %5.0f ms   working set %5.1f MB   private %5.1f MB\n", what,
                Median(samples, &Sample::startMs), Median(samples, &Sample::workingSetMb),
                Median(samples, &Sample::privateMb));
}
}  // namespace

int main(int argc, char** argv) {
    int runs = argc > 1 ? std::max(1, atoi(argv[1])) : 7;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    std::vector<Sample> program, reference;
    // Interleaved, so both see the same machine.
    for (int run = 0; run < runs; ++run) {
        Sample ours = {}, floor = {};
        if (!SampleKoravant(&ours) || !SampleReference(&floor)) return 1;
        program.push_back(ours);
        reference.push_back(floor);
    }
    std::printf("start-up to the hidden main window, medians of %d runs under Wine\n", runs);
    Report("Koravant.exe", program);
    Report("minimal window (reference)", reference);
    std::printf(
        "  Koravant over the reference: %+.0f ms start, %+.1f MB working set, %+.1f MB "
        "private\n",
        Median(program, &Sample::startMs) - Median(reference, &Sample::startMs),
        Median(program, &Sample::workingSetMb) - Median(reference, &Sample::workingSetMb),
        Median(program, &Sample::privateMb) - Median(reference, &Sample::privateMb));
    WIN32_FILE_ATTRIBUTE_DATA exe = {};
    std::string exePath = BuildFolder() + "\\Koravant.exe";
    ::GetFileAttributesExA(exePath.c_str(), GetFileExInfoStandard, &exe);
    std::printf("executable size (this build): %lu bytes\n",
                static_cast<unsigned long>(exe.nFileSizeLow));
    return 0;
}
