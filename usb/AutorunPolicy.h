#pragma once
// The per-user Explorer policy that keeps drives from starting programs by themselves.
#include <windows.h>

constexpr char kExplorerPolicyKey[] =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
constexpr char kNoDriveTypeAutoRun[] = "NoDriveTypeAutoRun";
constexpr DWORD kAutoRunOffMask = 0x9F;
constexpr DWORD kAutoRunDefaultMask = 0x91;

// Both open the policy key (never create it) and write the mask; nothing is reported.
void DisableAutoRun();
void EnableAutoRun();
