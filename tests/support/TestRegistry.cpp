#include "tests/support/TestRegistry.h"

#include "framework/Handles.h"

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const char* key, const char* name) {
    ScopedRegKey opened;
    if (::RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) != ERROR_SUCCESS) return {};
    RegistryValue value;
    DWORD size = 0;
    if (::RegQueryValueExA(opened.get(), name, nullptr, &value.type, nullptr, &size) !=
        ERROR_SUCCESS)
        return {};
    value.data.resize(size);
    if (::RegQueryValueExA(opened.get(), name, nullptr, &value.type,
                           reinterpret_cast<BYTE*>(value.data.data()), &size) != ERROR_SUCCESS)
        return {};
    value.data.resize(size);
    return value;
}

bool WriteRegistryString(HKEY root, const char* key, const char* name, const std::string& text) {
    ScopedRegKey opened;
    if (::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.put(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(opened.get(), name, 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(text.c_str()),
                            static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool WriteRegistryDword(HKEY root, const char* key, const char* name, DWORD value) {
    ScopedRegKey opened;
    if (::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, opened.put(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    return ::RegSetValueExA(opened.get(), name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value),
                            sizeof(value)) == ERROR_SUCCESS;
}

void DeleteRegistryValue(HKEY root, const char* key, const char* name) {
    ScopedRegKey opened;
    if (::RegOpenKeyExA(root, key, 0, KEY_ALL_ACCESS, opened.put()) == ERROR_SUCCESS)
        ::RegDeleteValueA(opened.get(), name);
}

void DeleteRegistryTree(HKEY root, const char* key) { ::RegDeleteTreeA(root, key); }

bool RegistryKeyExists(HKEY root, const char* key) {
    ScopedRegKey opened;
    return ::RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

void ResetSettingsAnswered() {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestSettingsKey);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kTestSettingsKey, "autorun", "1");
}

void ResetSettingsFirstRun() { DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestSettingsKey); }

namespace {
bool SetKeyDacl(HKEY root, const char* key, REGSAM access, bool present, ACL* acl) {
    ScopedRegKey opened;
    if (::RegOpenKeyExA(root, key, 0, access, opened.put()) != ERROR_SUCCESS) return false;
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, present, acl, FALSE);
    return ::RegSetKeySecurity(opened.get(), DACL_SECURITY_INFORMATION, &descriptor) ==
           ERROR_SUCCESS;
}
}  // namespace

bool LockRegistryKey(HKEY root, const char* key) {
    ScopedRegKey created;
    if (::RegCreateKeyExA(root, key, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, created.put(),
                          nullptr) != ERROR_SUCCESS)
        return false;
    ACL empty;
    ::InitializeAcl(&empty, sizeof(empty), ACL_REVISION);
    return SetKeyDacl(root, key, WRITE_DAC, true, &empty);
}

bool UnlockRegistryKey(HKEY root, const char* key) {
    return SetKeyDacl(root, key, WRITE_DAC, false, nullptr);
}
