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

// Nothing for a missing value or one longer than 4,096 bytes.
std::optional<RegistryValue> ReadRegistryValue(HKEY root, const char* key, const char* name);
// Both create the key when it is missing.
inline bool WriteRegistryString(HKEY root, const char* key, const char* name,
                                const std::string& text) {
    return ::RegSetKeyValueA(root, key, name, REG_SZ, text.c_str(), DWORD(text.size() + 1)) ==
           ERROR_SUCCESS;
}
inline bool WriteRegistryDword(HKEY root, const char* key, const char* name, DWORD value) {
    return ::RegSetKeyValueA(root, key, name, REG_DWORD, &value, sizeof(value)) == ERROR_SUCCESS;
}
inline void DeleteRegistryTree(HKEY root, const char* key) { ::RegDeleteTreeA(root, key); }
bool RegistryKeyExists(HKEY root, const char* key);

// The settings of a machine where the first-run question was already answered and the update
// check made today.
void ResetSettingsAnswered();

// Lets everybody open `key` (created when missing) with `access` and nothing more; with 0 nobody
// but its owner (who may still change the list) can open it. Unlock puts the default list back.
bool RestrictRegistryKey(HKEY root, const char* key, REGSAM access);
bool UnlockRegistryKey(HKEY root, const char* key);
