#pragma once
// The program file of a running process. No window code: the process shield and safe removal
// call it, tests call it directly.
#include <windows.h>

#include <string>

// PROCESS_ALL_ACCESS as systems before Vista know it: the newer, wider mask fails there.
constexpr DWORD kProcessAllAccess = 0x1F0FFF;

// The program file of process `processId` as UTF-8: the first module of its module snapshot
// whose path is a program file (below). Where no snapshot can be taken (a 32-bit program
// cannot take one of a 64-bit process), the image path the system reports, under the same
// test. False for process 0 and when nothing qualifies.
bool GetProcessExeModule(DWORD processId, std::string& path);

// True when the UTF-8 `path` exists, is not a directory and ends in ".exe" in any case.
bool IsProgramFile(const std::string& path);
