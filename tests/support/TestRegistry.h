#pragma once
// Registry set-up and checks for tests; the program under test shares the prefix's registry.
#include <windows.h>

#include <optional>
#include <string>

constexpr char kTestSettingsKey[] = "SOFTWARE\\kestrelvane";

struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data;  // raw bytes, terminating zeros included
};

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const char* key, const char* name);
bool WriteRegistryString(HKEY root, const char* key, const char* name, const std::string& text);
bool WriteRegistryDword(HKEY root, const char* key, const char* name, DWORD value);
void DeleteRegistryValue(HKEY root, const char* key, const char* name);
void DeleteRegistryTree(HKEY root, const char* key);
bool RegistryKeyExists(HKEY root, const char* key);

// The settings of a machine where the first-run question was already answered.
void ResetSettingsAnswered();
// The settings of a machine on which the program never ran.
void ResetSettingsFirstRun();

// Gives `key` an empty access list, so that nobody but its owner (who may still change the
// list) can open it; Unlock puts the default list back.
bool LockRegistryKey(HKEY root, const char* key);
bool UnlockRegistryKey(HKEY root, const char* key);
