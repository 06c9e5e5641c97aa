#include "autostart/AutostartDelete.h"

#include "autostart/StartupFolders.h"
#include "framework/Text.h"
#include "quarantine/QuarantineStore.h"

namespace {
bool WriteDefaultBack(const RegistryKeyAddress& address, const std::string& name,
                      const std::string& text) {
    ScopedRegKey key;
    if (OpenRegistryKey(address, KEY_SET_VALUE, key) != ERROR_SUCCESS) return false;
    std::wstring data = Utf8ToWide(text);
    return ::RegSetValueExW(key.get(), Utf8ToWide(name).c_str(), 0, REG_SZ,
                            reinterpret_cast<const BYTE*>(data.c_str()),
                            static_cast<DWORD>((data.size() + 1) * sizeof(wchar_t))) ==
           ERROR_SUCCESS;
}

bool DeleteRegistryValue(const RegistryKeyAddress& address, const std::string& name) {
    if (std::optional<std::string> standard = ProtectedValueDefault(address, name))
        return WriteDefaultBack(address, name, *standard);
    ScopedRegKey key;
    if (OpenRegistryKey(address, KEY_SET_VALUE, key) != ERROR_SUCCESS) return false;
    return ::RegDeleteValueW(key.get(), Utf8ToWide(name).c_str()) == ERROR_SUCCESS;
}

bool QuarantineStartupFile(const std::string& folder, const std::string& name) {
    return name.find('\\') == std::string::npos && QuarantineAndDeleteFile(folder + "\\" + name);
}
}  // namespace

std::vector<AutostartEntry> ListAutostartEntries() {
    std::vector<AutostartEntry> entries;
    for (const AutostartLocation& location : AutostartLocations())
        EnumAutostartLocation(location, entries);
    for (const std::string& folder : StartupFolders()) EnumStartupFolder(folder, entries);
    return entries;
}

bool DeleteAutostartEntry(const std::string& name, const std::string& location) {
    if (std::optional<RegistryKeyAddress> key = ResolveRegistryLocation(location))
        return DeleteRegistryValue(*key, name);
    return IsStartupFolder(location) && QuarantineStartupFile(location, name);
}
