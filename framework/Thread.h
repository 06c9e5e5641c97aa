#pragma once
// Worker threads in the manner of the class library: a plain function and one parameter.
#include <windows.h>

#include <memory>

using AFX_THREADPROC = UINT (*)(LPVOID);

// Starts `proc(param)` on a new thread at once; the thread is detached. False on failure.
bool AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL);

// Starts `Body(*job)` on a new thread that holds a share of `job` until it returns, so the
// job outlives whichever of the page and the worker ends first. False on failure.
template <typename Job, UINT (*Body)(Job&)>
bool StartJobThread(std::shared_ptr<Job> job) {
    auto* held = new std::shared_ptr<Job>(std::move(job));
    auto entry = [](LPVOID raw) -> UINT {
        std::unique_ptr<std::shared_ptr<Job>> owned(static_cast<std::shared_ptr<Job>*>(raw));
        return Body(**owned);
    };
    if (AfxBeginThread(entry, held)) return true;
    delete held;
    return false;
}
