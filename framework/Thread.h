#pragma once
// Worker threads in the manner of the class library: a plain function and one parameter.
#include <windows.h>

using AFX_THREADPROC = UINT (*)(LPVOID);

// Starts `proc(param)` on a new thread at once; the thread is detached. False on failure.
bool AfxBeginThread(AFX_THREADPROC proc, LPVOID param, int priority = THREAD_PRIORITY_NORMAL);
