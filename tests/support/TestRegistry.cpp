#include "tests/support/TestRegistry.h"

#include "framework/Handles.h"
#include "tests/support/RegistryViews.h"

namespace {
// A null `acl` stands for the default access list.
bool SetKeyDacl(HKEY root, const char* key, ACL* acl) {
    ScopedRegKey opened;
    if (::RegOpenKeyExA(root, key, 0, WRITE_DAC, opened.put()) != ERROR_SUCCESS) return false;
    SECURITY_DESCRIPTOR descriptor;
    ::InitializeSecurityDescriptor(&descriptor, SECURITY_DESCRIPTOR_REVISION);
    ::SetSecurityDescriptorDacl(&descriptor, acl != nullptr, acl, FALSE);
    return ::RegSetKeySecurity(opened.get(), DACL_SECURITY_INFORMATION, &descriptor) ==
           ERROR_SUCCESS;
}
}  // namespace

std::optional<RegistryValue> ReadRegistryValue(HKEY root, const char* key, const char* name) {
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

bool RegistryKeyExists(HKEY root, const char* key) {
    ScopedRegKey opened;
    return ::RegOpenKeyExA(root, key, 0, KEY_READ, opened.put()) == ERROR_SUCCESS;
}

void ResetSettingsAnswered() {
    DeleteRegistryTree(HKEY_LOCAL_MACHINE, kTestSettingsKey);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kTestSettingsKey, "autorun", "1");
    // Checked today: no program of a test reaches for the real update server.
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    WriteRegistryString(HKEY_LOCAL_MACHINE, kTestSettingsKey, "lastcheck",
                        std::to_string(now.wDay));
}

bool RestrictRegistryKey(HKEY root, const char* key, REGSAM access) {
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
                   SetKeyDacl(root, key, acl);
    ::FreeSid(everyone);
    return limited;
}

bool UnlockRegistryKey(HKEY root, const char* key) { return SetKeyDacl(root, key, nullptr); }

bool WriteRegistryValue(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                        DWORD type, const void* data, DWORD size) {
    ScopedRegKey created;
    return ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                             created.put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExW(created.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            size) == ERROR_SUCCESS;
}

std::wstring ReadStringValue(HKEY root, const std::string& key, REGSAM view,
                             const std::wstring& name) {
    ScopedRegKey opened;
    wchar_t text[1024] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t);
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.put()) !=
            ERROR_SUCCESS ||
        ::RegQueryValueExW(opened.get(), name.c_str(), nullptr, nullptr,
                           reinterpret_cast<BYTE*>(text), &size) != ERROR_SUCCESS)
        return L"<missing>";
    return text;
}

bool RemoveRegistryValue(HKEY root, const std::string& key, REGSAM view, const std::wstring& name) {
    ScopedRegKey opened;
    return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE | view, opened.put()) ==
               ERROR_SUCCESS &&
           ::RegDeleteValueW(opened.get(), name.c_str()) == ERROR_SUCCESS;
}
