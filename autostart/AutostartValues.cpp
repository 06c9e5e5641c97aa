#include "autostart/AutostartValues.h"

#include <cstring>

#include "framework/Text.h"

namespace {
constexpr int kReadAttempts = 3;
constexpr DWORD kMaxKeyNameLength = 255;

struct ValueSizes {
    DWORD maxName = 0;  // characters, without the terminating zero
    DWORD maxData = 0;  // bytes
};

ValueSizes QueryValueSizes(HKEY key) {
    ValueSizes sizes;
    ::RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                       &sizes.maxName, &sizes.maxData, nullptr, nullptr);
    return sizes;
}

LONG ReadValueAt(HKEY key, DWORD index, const ValueSizes& sizes, RegistryValueData& value) {
    value.name.assign(sizes.maxName + 1, L'\0');
    value.data.assign(sizes.maxData + 1, 0);
    DWORD nameLength = sizes.maxName + 1, dataSize = sizes.maxData + 1;
    LONG result = ::RegEnumValueW(key, index, value.name.data(), &nameLength, nullptr, &value.type,
                                  value.data.data(), &dataSize);
    if (result != ERROR_SUCCESS) return result;
    value.name.resize(nameLength);
    value.data.resize(dataSize);
    return ERROR_SUCCESS;
}

std::vector<std::wstring> SubKeyNames(const RegistryKeyAddress& address) {
    std::vector<std::wstring> names;
    ScopedRegKey key;
    if (OpenRegistryKey(address, KEY_ENUMERATE_SUB_KEYS, key) != ERROR_SUCCESS) return names;
    wchar_t name[kMaxKeyNameLength + 1];
    for (DWORD index = 0;; ++index) {
        DWORD length = kMaxKeyNameLength + 1;
        LONG result =
            ::RegEnumKeyExW(key.get(), index, name, &length, nullptr, nullptr, nullptr, nullptr);
        if (result == ERROR_MORE_DATA) continue;
        if (result != ERROR_SUCCESS) break;
        names.emplace_back(name, length);
    }
    return names;
}

// The views in which a location's key is read: one, or on a 64-bit system both views of a
// HKLM key unless they are one key.
std::vector<RegistryKeyAddress> KeyViews(const AutostartLocation& location) {
    RegistryKeyAddress native{location.hive, location.keyPath, RegistryView::kNative};
    if (location.hive != kHiveLocalMachine || !IsWow64System()) return {native};
    RegistryKeyAddress wow32{location.hive, location.keyPath, RegistryView::kWow32};
    ScopedRegKey nativeKey, wow32Key;
    bool haveNative = OpenRegistryKey(native, KEY_QUERY_VALUE, nativeKey) == ERROR_SUCCESS;
    bool haveWow32 = OpenRegistryKey(wow32, KEY_QUERY_VALUE, wow32Key) == ERROR_SUCCESS;
    if (haveNative && haveWow32 && IsSameRegistryKey(nativeKey.get(), wow32Key.get()))
        return {native};
    return {native, wow32};
}
}  // namespace

std::vector<RegistryValueData> ReadKeyValues(HKEY key) {
    std::vector<RegistryValueData> values;
    ValueSizes sizes = QueryValueSizes(key);
    RegistryValueData value;
    DWORD index = 0;
    for (int attempt = 1;; ++attempt) {
        LONG result = ReadValueAt(key, index, sizes, value);
        if (result == ERROR_MORE_DATA && attempt < kReadAttempts) {
            sizes = QueryValueSizes(key);  // the value grew since the sizes were asked
            continue;
        }
        if (result == ERROR_SUCCESS)
            values.push_back(value);
        else if (result != ERROR_MORE_DATA)
            break;
        ++index;
        attempt = 0;
    }
    return values;
}

std::string ValueDataAsText(const RegistryValueData& value) {
    const std::vector<BYTE>& data = value.data;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ) {
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        return WideToUtf8(text.substr(0, text.find(L'\0')));
    }
    std::string bytes(data.begin(), data.end());
    return AnsiToUtf8(bytes.substr(0, bytes.find('\0')));
}

bool EnumAutostartValues(const RegistryKeyAddress& key, std::vector<AutostartEntry>& entries,
                         LocationValues values) {
    ScopedRegKey opened;
    if (OpenRegistryKey(key, KEY_QUERY_VALUE, opened) != ERROR_SUCCESS) return false;
    std::string location = FormatRegistryLocation(key);
    for (const RegistryValueData& value : ReadKeyValues(opened.get())) {
        AutostartEntry entry{WideToUtf8(value.name), ValueDataAsText(value), location};
        if (IsListedValue(values, key, entry.name, entry.command))
            entries.push_back(std::move(entry));
    }
    return true;
}

void EnumAutostartLocation(const AutostartLocation& location,
                           std::vector<AutostartEntry>& entries) {
    for (const RegistryKeyAddress& key : KeyViews(location)) {
        EnumAutostartValues(key, entries, location.values);
        if (location.values != LocationValues::kAllAndSubKeys) continue;
        for (const std::wstring& subKey : SubKeyNames(key)) {
            RegistryKeyAddress child = key;
            child.keyPath += "\\" + WideToUtf8(subKey);
            EnumAutostartValues(child, entries);
        }
    }
}
