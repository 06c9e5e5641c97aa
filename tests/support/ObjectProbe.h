#pragma once
// Counts of another process's objects, taken inside it: the test loads ObjectProbe.dll
// into the process with a remote thread and runs its counter there, one figure per thread.
#include "tests/support/TestPrograms.h"

// In the order of the probe's counters.
struct ProcessCounts {
    long gdi = -1, user = -1, handles = -1, privateKb = -1;
    bool Valid() const { return gdi >= 0 && user >= 0 && handles >= 0 && privateKb >= 0; }
    std::string Describe() const {
        return "GDI " + std::to_string(gdi) + ", USER " + std::to_string(user) + ", handles " +
               std::to_string(handles) + ", private " + std::to_string(privateKb) + " KB";
    }
};

// Runs `start(parameter)` on a new thread in `process`; its exit code, or -1.
inline long RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* parameter) {
    ScopedHandle thread(::CreateRemoteThread(process, nullptr, 0, start, parameter, 0, nullptr));
    DWORD code = 0;
    bool ended = thread && ::WaitForSingleObject(thread.get(), 30000) == WAIT_OBJECT_0;
    return ended && ::GetExitCodeThread(thread.get(), &code) ? static_cast<long>(code) : -1;
}

// Loads the probe into `process` (once: a second load only counts up) and returns where its
// counter lies there: both processes are 32-bit, and the probe's offset is the same in each.
inline LPTHREAD_START_ROUTINE LoadProbe(HANDLE process) {
    std::string path = BuildFolder() + "\\ObjectProbe.dll";
    HMODULE local = ::LoadLibraryA(path.c_str());
    FARPROC counter = local ? ::GetProcAddress(local, "ProbeCount@4") : nullptr;  // stdcall
    void* remotePath = counter ? ::VirtualAllocEx(process, nullptr, path.size() + 1,
                                                  MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE)
                               : nullptr;
    if (!remotePath) return nullptr;
    ::WriteProcessMemory(process, remotePath, path.c_str(), path.size() + 1, nullptr);
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<UINT_PTR>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    long remote = RunRemote(process, loadLibrary, remotePath);
    ::VirtualFreeEx(process, remotePath, 0, MEM_RELEASE);
    UINT_PTR offset = reinterpret_cast<UINT_PTR>(counter) - reinterpret_cast<UINT_PTR>(local);
    return remote > 0 ? reinterpret_cast<LPTHREAD_START_ROUTINE>(remote + offset) : nullptr;
}

// The counts of process `pid` (all -1 when the probe could not run there).
inline ProcessCounts CountObjectsOf(DWORD pid) {
    ScopedHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
    LPTHREAD_START_ROUTINE counter = process ? LoadProbe(process.get()) : nullptr;
    auto ask = [&](UINT_PTR kind) {
        return RunRemote(process.get(), counter, reinterpret_cast<void*>(kind));
    };
    return counter ? ProcessCounts{ask(0), ask(1), ask(2), ask(3)} : ProcessCounts{};
}
