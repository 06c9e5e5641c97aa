#pragma once
// Delete on the process page: end a listed process, then quarantine and delete its program
// file. No window code; the page asks the user between the steps.
#include <windows.h>

#include <string>

#include "process/ProcessJudge.h"

// Ends the listed process. False, with nothing done, when it cannot be opened or when its
// identifier no longer names a process of that name (it ended and the number came back).
bool EndListedProcess(const FlaggedProcess& process);
// Resets the file's attributes, then quarantines and deletes it; true when it is gone.
bool DeleteProgramFile(const std::string& path);

// Tests stand in for OpenProcess (Wine opens every process); null puts it back.
using ProcessOpener = HANDLE (*)(DWORD access, DWORD processId);
void SetProcessOpenerForTesting(ProcessOpener opener);
