#include "tests/support/TestWatchdog.h"

// Far beyond the longest test here, even on a slow machine.
static const bool watchdogInstalled = InstallTestWatchdog(180000);
