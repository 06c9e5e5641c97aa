#include "framework/Thread.h"

#include <process.h>

#include <memory>

#include "framework/Handles.h"

namespace {
struct ThreadStart {
    AFX_THREADPROC proc;
    LPVOID param;
};

unsigned __stdcall ThreadEntry(void* raw) {
    std::unique_ptr<ThreadStart> start(static_cast<ThreadStart*>(raw));
    try {
        return start->proc(start->param);
    } catch (...) {
        return 1;
    }
}
}  // namespace

bool AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority) {
    auto start = std::make_unique<ThreadStart>(ThreadStart{proc, param});
    unsigned id = 0;
    auto raw = ::_beginthreadex(nullptr, 0, ThreadEntry, start.get(), CREATE_SUSPENDED, &id);
    ScopedHandle thread(reinterpret_cast<HANDLE>(raw));
    if (!thread) return false;
    start.release();
    if (priority != THREAD_PRIORITY_NORMAL) ::SetThreadPriority(thread.get(), priority);
    ::ResumeThread(thread.get());
    return true;
}
