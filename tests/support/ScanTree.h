#pragma once
// The big tree the long scan tests and the scan benchmark share: 100,000 files in 10,000
// folders, every 20th file suspicious. Building it under Wine takes a while, so it is built
// once in the prefix, marked complete, and reused by later runs; nothing ever changes it.
#include <windows.h>

#include <string>

#include "tests/support/TestDrives.h"  // TestDrive(letter, EnsureScanTree()) maps it

constexpr unsigned long kScanTreeFolders = 10000;
constexpr unsigned long kScanTreeFiles = 100000;
constexpr unsigned long kScanTreeSuspicious = 5000;

// The tree's folder (a C: path), built first unless a complete one is there; "" when a file
// could not be made.
std::string EnsureScanTree();
