#pragma once
// Immunity of drive roots: while a directory named AUTORUN.INF exists in a root, no AutoRun
// file of that name can be created there. No window code: the page says how the user is
// warned about an AutoRun file found in a root; tests pass a recorder.
#include <functional>
#include <string>
#include <vector>

// Called with the root ("E:\\") after an AUTORUN.INF file was deleted from it; the walk over
// the drives goes on when it returns.
using RootFileWarning = std::function<void(const char* root)>;

constexpr char kImmunityFolder[] = "AUTORUN.INF";
// Created through the path with its trailing backslash; the two dots are part of the name.
constexpr char kImmunitySubFolder[] = "AUTORUN.INF\\tindrel..\\";
constexpr char kImmunityReadMe[] = "AUTORUN.INF\\ReadMe.txt";

// The roots of every removable and fixed drive, ascending ("C:\\", "E:\\"); network, CD-ROM
// and RAM drives never.
std::vector<std::string> TreatedDriveRoots();

// Plants the hidden AUTORUN.INF directory with its sub-directory and ReadMe.txt, deleting an
// AUTORUN.INF file first (through the quarantine: kept when it cannot be copied there). False for a
// null root, a root that already has the directory, or one where it cannot be created.
bool ImmunizeDrive(const char* root, const RootFileWarning& warn);
// Removes the layout; an AUTORUN.INF file is deleted (and warned about) instead. False for a
// null root or a directory that could not be removed.
bool RemoveDriveImmunity(const char* root, const RootFileWarning& warn);

// Every treated drive in ascending order, then the AutoRun policy value (off, or back).
void ImmunizeAllDrives(const RootFileWarning& warn);
void RemoveAllDriveImmunity(const RootFileWarning& warn);
