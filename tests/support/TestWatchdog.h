#pragma once
// Ends the test program when one test runs longer than `limitMs`, after naming the test and
// ending the programs it started: a hung test then fails the run at once, by name, instead
// of using up ctest's time-out for the whole suite in silence.
#include <windows.h>

bool InstallTestWatchdog(DWORD limitMs);
