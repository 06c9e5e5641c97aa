#pragma once
// Registry set-up and checks for tests; the program under test shares the prefix's registry.
#include <windows.h>

#include <optional>
#include <string>

#include "framework/Handles.h"

constexpr char kTestSettingsKey[] = "SOFTWARE\\kestrelvane";

struct RegistryValue {
    DWORD type = REG_NONE;
    std::string data;  // raw bytes, terminating zeros included
};

// Nothing for a missing value or one longer than 4,096 bytes.
inline std::optional<RegistryValue> ReadRegistryValue(HKEY root, const char* key,
                                                      const char* name) {
    ScopedRegKey opened;
    RegistryValue value;
    char data[4096];
    DWORD size = sizeof(data);
    if (::RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) != ERROR_SUCCESS ||
        ::RegQueryValueExA(opened.get(), name, nullptr, &value.type, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS)
        return {};
    value.data.assign(data, size);
    return value;
}

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
inline bool RegistryKeyExists(HKEY root, const char* key) {
    ScopedRegKey opened;
    return ::RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

// The settings of a machine where the first-run question was already answered and the update
// check made today.
inline void ResetSettingsAnswered() {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestSettingsKey);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kTestSettingsKey, "autorun", "1");
    // Checked today: no program of a test reaches for the real update server.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kTestSettingsKey, "lastcheck",
                        std::to_string(now.wDay));
}

// Puts access list `acl` on `key`; a null `acl` stands for the default list.
inline bool SetRegistryKeyDacl(HKEY root, const char* key, ACL* acl) {
    ScopedRegKey opened;
    if (::RegOpenKeyExA(root, key, 0, WRITE_DAC, opened.put()) != ERROR_SUCCESS) return false;
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, acl != nullptr, acl, FALSE);
    return ::RegSetKeySecurity(opened.get(), DACL_SECURITY_INFORMATION, &descriptor) ==
           ERROR_SUCCESS;
}

// Lets everybody open `key` (created when missing) with `access` and nothing more; with 0 nobody
// but its owner (who may still change the list) can open it. Unlock puts the default list back.
inline bool RestrictRegistryKey(HKEY root, const char* key, REGSAM access) {
    ScopedRegKey created;
    SID_IDENTIFIER_AUTHORITY world = SECURITY_WORLD_SID_AUTHORITY;
    PSID everyone = nullptr;
    if (::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, created.put(),
                          nullptr) != ERROR_SUCCESS ||
        !::AllocateAndInitializeSid(&world, 1, SECURITY_WORLD_RID, 0, 0, 0, 0, 0, 0, 0, &everyone))
        return false;
    alignas(DWORD) BYTE buffer[256];
    ACL* acl = reinterpret_cast<ACL*>(buffer);
    bool limited = ::InitializeAcl(acl, sizeof(buffer), ACL_REVISION) &&
                   (!access || ::AddAccessAllowedAce(acl, ACL_REVISION, access, everyone)) &&
                   SetRegistryKeyDacl(root, key, acl);
    ::FreeSid(everyone);
    return limited;
}
inline bool UnlockRegistryKey(HKEY root, const char* key) {
    return SetRegistryKeyDacl(root, key, nullptr);
}
