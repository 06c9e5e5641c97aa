#pragma once
// A registry key as a Location cell shows it ("HKEY_LOCAL_MACHINE\Software\..."), spelled as
// regedit spells it: on 64-bit Windows the 32-bit view of HKLM\Software is the key path under
// "Software\Wow6432Node". Text is UTF-8; keys are opened through the W functions.
#include <windows.h>

#include <optional>
#include <string>

#include "framework/Handles.h"

enum RegistryHive { kHiveNone = 0, kHiveCurrentUser = 1, kHiveLocalMachine = 2 };

// Which view of HKLM a key belongs to on a 64-bit system; a 32-bit system has one view.
enum class RegistryView { kNative, kWow32 };

struct RegistryKeyAddress {
    RegistryHive hive = kHiveNone;
    std::string keyPath;  // without the Wow6432Node step: the view says which
    RegistryView view = RegistryView::kNative;
};

// True on 64-bit Windows, where HKLM\Software has two views (asked at run time: the call
// that says so is missing before Windows XP SP2).
bool IsWow64System();

// "HKEY_CURRENT_USER\<path>" or "HKEY_LOCAL_MACHINE\<path>", with "Software\Wow6432Node\"
// for the 32-bit view.
std::string FormatRegistryLocation(const RegistryKeyAddress& key);
// The hive named at the start of `location` (1 current user, 2 local machine, 0 neither)
// and the key path after its backslash; 0 too when no key path follows.
int ParseRegistryLocation(const std::string& location, std::string& keyPath);
// The key a Location cell names, in its own view; nothing for text that names no key.
std::optional<RegistryKeyAddress> ResolveRegistryLocation(const std::string& location);

// Opens the key in its view with `access` alone (no more than the caller needs).
LONG OpenRegistryKey(const RegistryKeyAddress& key, REGSAM access, ScopedRegKey& opened);
// Whether two open keys are one key of the registry (a key both views share).
bool IsSameRegistryKey(HKEY first, HKEY second);
