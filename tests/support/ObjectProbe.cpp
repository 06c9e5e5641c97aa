#include "tests/support/ObjectProbe.h"

#include "framework/Handles.h"
#include "tests/support/KoravantApp.h"

namespace {
constexpr DWORD kProbeTimeoutMs = 30000;

// Runs `start(parameter)` on a new thread in `process`; its exit code, or -1.
long RunRemote(HANDLE process, LPTHREAD_START_ROUTINE start, void* parameter) {
    ScopedHandle thread(::CreateRemoteThread(process, nullptr, 0, start, parameter, 0, nullptr));
    if (!thread || ::WaitForSingleObject(thread.get(), kProbeTimeoutMs) != WAIT_OBJECT_0) return -1;
    DWORD code = 0;
    return ::GetExitCodeThread(thread.get(), &code) ? static_cast<long>(code) : -1;
}

// Loads the probe into `process` (once: a second load only counts up) and returns where its
// counter lies there: both processes are 32-bit, and the probe's offset is the same in each.
LPTHREAD_START_ROUTINE LoadProbe(HANDLE process) {
    std::string path = BuildFolder() + "\\ObjectProbe.dll";
    HMODULE local = ::LoadLibraryA(path.c_str());
    FARPROC counter = local ? ::GetProcAddress(local, "ProbeCount@4") : nullptr;
    if (!counter && local) counter = ::GetProcAddress(local, "ProbeCount");
    if (!counter) return nullptr;
    void* remotePath = ::VirtualAllocEx(process, nullptr, path.size() + 1, MEM_COMMIT | MEM_RESERVE,
                                        PAGE_READWRITE);
    if (!remotePath) return nullptr;
    ::WriteProcessMemory(process, remotePath, path.c_str(), path.size() + 1, nullptr);
    auto loadLibrary = reinterpret_cast<LPTHREAD_START_ROUTINE>(reinterpret_cast<UINT_PTR>(
        ::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "LoadLibraryA")));
    long remote = RunRemote(process, loadLibrary, remotePath);
    ::VirtualFreeEx(process, remotePath, 0, MEM_RELEASE);
    if (remote <= 0) return nullptr;
    UINT_PTR offset = reinterpret_cast<UINT_PTR>(counter) - reinterpret_cast<UINT_PTR>(local);
    return reinterpret_cast<LPTHREAD_START_ROUTINE>(static_cast<UINT_PTR>(remote) + offset);
}
}  // namespace

std::string ProcessCounts::Describe() const {
    return "GDI " + std::to_string(gdi) + ", USER " + std::to_string(user) + ", handles " +
           std::to_string(handles) + ", private " + std::to_string(privateKb) + " KB";
}

ProcessCounts CountObjectsOf(DWORD pid) {
    ProcessCounts counts;
    ScopedHandle process(::OpenProcess(PROCESS_ALL_ACCESS, FALSE, pid));
    if (!process) return counts;
    LPTHREAD_START_ROUTINE counter = LoadProbe(process.get());
    if (!counter) return counts;
    auto ask = [&](ProbeCountKind kind) {
        return RunRemote(process.get(), counter,
                         reinterpret_cast<void*>(static_cast<UINT_PTR>(kind)));
    };
    return {ask(ProbeCountKind::Gdi), ask(ProbeCountKind::User), ask(ProbeCountKind::Handles),
            ask(ProbeCountKind::PrivateKb)};
}
