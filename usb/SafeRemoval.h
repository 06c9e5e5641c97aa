#pragma once
// Safe removal: which processes are ended, and the walk over the USB volumes. No window
// code: the page asks the questions and passes in how the log-off question is asked.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

constexpr char kShellProgram[] = "explorer.exe";

// A UTF-8 program path longer than the shell's name that ends in it, in any case.
bool IsShellProgram(const std::string& path);
// The path's first character is one of the `count` (capital) drive letters, in any case.
bool RunsFromDrives(const std::string& path, const char* letters, int count);

// The processes whose program file lies on one of the drives, and the shell's, in snapshot
// order; never this process.
std::vector<DWORD> FindProcessesToEnd(const char* letters, int count);
// Ends them (exit code 0); returns how many were ended. One that cannot be opened runs on.
int EndProcesses(const std::vector<DWORD>& processIds);

// The drive letter of this program's own file (0 when unknown): its volume stays in use.
char OwnProgramDrive();

// Ejects each drive in turn: an ejected or safely removable one opens the hardware-removal
// applet; one that stays in use (this program's own drive among them) gets `askLogOff`, and
// the user is logged off when it answers true.
void EjectDrives(const char* letters, int count, const std::function<bool()>& askLogOff);

// The applet's command line, under the Windows folder.
std::string RemovalAppletCommandLine();

// Tests replace how one process is ended (to spare the test desktop's shell); null puts the
// real termination back.
using ProcessEnd = bool (*)(DWORD processId);
void SetProcessEndForTesting(ProcessEnd end);
