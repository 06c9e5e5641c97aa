#include "autostart/RegistryLocation.h"

#include <cstring>
#include <vector>

#include "framework/LateImport.h"
#include "framework/Text.h"
#include "usb/ThreatRules.h"

namespace {
constexpr char kCurrentUser[] = "HKEY_CURRENT_USER";
constexpr char kLocalMachine[] = "HKEY_LOCAL_MACHINE";
constexpr char kSoftware[] = "Software\\";
constexpr char kWow32Step[] = "Wow6432Node\\";

bool StartsWithNoCase(const std::string& text, const char* prefix) {
    size_t length = std::strlen(prefix);
    return text.size() >= length && MatchNoCase(text.substr(0, length).c_str(), prefix, length);
}

HKEY HiveHandle(RegistryHive hive) {
    return hive == kHiveCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
}

// The key's name inside the registry ("\REGISTRY\MACHINE\SOFTWARE\..."), "" when unknown.
std::wstring RegistryObjectName(HKEY key) {
    using NtQueryKeyFn = LONG(WINAPI*)(HANDLE, int, void*, ULONG, ULONG*);
    constexpr int kKeyNameInformation = 3;
    static auto query = LateImport<NtQueryKeyFn>("ntdll.dll", "NtQueryKey");
    if (!query) return {};
    std::vector<BYTE> buffer(2048);
    ULONG needed = 0;
    if (query(key, kKeyNameInformation, buffer.data(), static_cast<ULONG>(buffer.size()), &needed) <
        0)
        return {};
    ULONG length = 0;
    std::memcpy(&length, buffer.data(), sizeof(length));
    if (length > buffer.size() - sizeof(length)) return {};
    std::wstring name(length / sizeof(wchar_t), L'\0');
    std::memcpy(name.data(), buffer.data() + sizeof(length), name.size() * sizeof(wchar_t));
    return name;
}
}  // namespace

bool IsWow64System() {
    if (sizeof(void*) == 8) return true;
    static const bool wow64 = [] {
        auto isWow64 = LATE_IMPORT("kernel32.dll", IsWow64Process);
        BOOL result = FALSE;
        return isWow64 && isWow64(::GetCurrentProcess(), &result) && result;
    }();
    return wow64;
}

std::string FormatRegistryLocation(const RegistryKeyAddress& key) {
    std::string path = key.keyPath;
    if (key.view == RegistryView::kWow32 && StartsWithNoCase(path, kSoftware))
        path.insert(std::strlen(kSoftware), kWow32Step);
    const char* hive = key.hive == kHiveCurrentUser ? kCurrentUser : kLocalMachine;
    return std::string(hive) + "\\" + path;
}

int ParseRegistryLocation(const std::string& location, std::string& keyPath) {
    for (auto [name, hive] :
         {std::pair{kCurrentUser, kHiveCurrentUser}, std::pair{kLocalMachine, kHiveLocalMachine}}) {
        size_t length = std::strlen(name);
        if (!StartsWithNoCase(location, name)) continue;
        if (location.size() <= length + 1 || location[length] != '\\') return kHiveNone;
        keyPath = location.substr(length + 1);
        return hive;
    }
    return kHiveNone;
}

std::optional<RegistryKeyAddress> ResolveRegistryLocation(const std::string& location) {
    RegistryKeyAddress key;
    key.hive = static_cast<RegistryHive>(ParseRegistryLocation(location, key.keyPath));
    if (key.hive == kHiveNone) return {};
    const std::string wow32Prefix = std::string(kSoftware) + kWow32Step;
    if (key.hive == kHiveLocalMachine && IsWow64System() &&
        StartsWithNoCase(key.keyPath, wow32Prefix.c_str())) {
        key.keyPath.erase(std::strlen(kSoftware), std::strlen(kWow32Step));
        key.view = RegistryView::kWow32;
    }
    return key;
}

LONG OpenRegistryKey(const RegistryKeyAddress& key, REGSAM access, ScopedRegKey& opened) {
    if (IsWow64System())
        access |= key.view == RegistryView::kWow32 ? KEY_WOW64_32KEY : KEY_WOW64_64KEY;
    return ::RegOpenKeyExW(HiveHandle(key.hive), Utf8ToWide(key.keyPath).c_str(), 0, access,
                           opened.put());
}

bool IsSameRegistryKey(HKEY first, HKEY second) {
    std::wstring name = RegistryObjectName(first);
    return !name.empty() && ::lstrcmpiW(name.c_str(), RegistryObjectName(second).c_str()) == 0;
}
