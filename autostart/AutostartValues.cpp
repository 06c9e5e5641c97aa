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
    value.name.resize(sizes.maxName + 1);
    value.data.resize(sizes.maxData + 1);
    DWORD nameLength = sizes.maxName + 1, dataSize = sizes.maxData + 1;
    LONG result = ::RegEnumValueW(key, index, value.name.data(), &nameLength, nullptr, &value.type,
                                  value.data.data(), &dataSize);
    if (result != ERROR_SUCCESS) return result;
    value.name.resize(nameLength);
    value.data.resize(dataSize);
    return ERROR_SUCCESS;
}

// ERROR_MORE_DATA when the value kept growing past the sizes asked again each time.
LONG ReadWholeValueAt(HKEY key, DWORD index, ValueSizes& sizes, RegistryValueData& value) {
    LONG result = ReadValueAt(key, index, sizes, value);
    for (int attempt = 1; result == ERROR_MORE_DATA && attempt < kReadAttempts; ++attempt) {
        sizes = QueryValueSizes(key);  // the value grew since the sizes were asked
        result = ReadValueAt(key, index, sizes, value);
    }
    return result;
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

// A key of a location in one view, opened for reading its values when it can be.
struct KeyView {
    RegistryKeyAddress address;
    ScopedRegKey values;
    bool readable = false;
};

// One view, or on a 64-bit system both views of a HKLM key unless they are one key.
std::vector<KeyView> KeyViews(const AutostartLocation& location) {
    std::vector<KeyView> views;
    views.push_back({{location.hive, location.keyPath, RegistryView::kNative}, {}});
    if (location.hive == kHiveLocalMachine && IsWow64System())
        views.push_back({{location.hive, location.keyPath, RegistryView::kWow32}, {}});
    for (KeyView& view : views)
        view.readable =
            OpenRegistryKey(view.address, KEY_QUERY_VALUE, view.values) == ERROR_SUCCESS;
    if (views.size() == 2 && views[0].readable && views[1].readable &&
        IsSameRegistryKey(views[0].values.get(), views[1].values.get()))
        views.pop_back();
    return views;
}

void AppendKeyEntries(HKEY key, const RegistryKeyAddress& address, LocationValues values,
                      std::vector<AutostartEntry>& entries) {
    std::string location = FormatRegistryLocation(address);
    ForEachKeyValue(key, [&](const RegistryValueData& value) {
        AutostartEntry entry{WideToUtf8(value.name), ValueDataAsText(value), location};
        if (IsListedValue(values, address, entry.name, entry.command))
            entries.push_back(std::move(entry));
    });
}

void AppendSubKeyEntries(const RegistryKeyAddress& parent, std::vector<AutostartEntry>& entries) {
    for (const std::wstring& subKey : SubKeyNames(parent)) {
        RegistryKeyAddress child = parent;
        child.keyPath += "\\" + WideToUtf8(subKey);
        ScopedRegKey key;
        if (OpenRegistryKey(child, KEY_QUERY_VALUE, key) == ERROR_SUCCESS)
            AppendKeyEntries(key.get(), child, LocationValues::kAll, entries);
    }
}
}  // namespace

void ForEachKeyValue(HKEY key, const std::function<void(const RegistryValueData&)>& visit) {
    ValueSizes sizes = QueryValueSizes(key);
    RegistryValueData value;
    for (DWORD index = 0;; ++index) {
        LONG result = ReadWholeValueAt(key, index, sizes, value);
        if (result == ERROR_SUCCESS)
            visit(value);
        else if (result != ERROR_MORE_DATA)
            break;
    }
}

std::string ValueDataAsText(const RegistryValueData& value) {
    const std::vector<BYTE>& data = value.data;
    if (value.type == REG_SZ || value.type == REG_EXPAND_SZ || value.type == REG_MULTI_SZ) {
        std::wstring text(data.size() / sizeof(wchar_t), L'\0');
        std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
        if (size_t end = text.find(L'\0'); end != std::wstring::npos) text.resize(end);
        return WideToUtf8(text);
    }
    std::string bytes(data.begin(), data.end());
    if (size_t end = bytes.find('\0'); end != std::string::npos) bytes.resize(end);
    return AnsiToUtf8(bytes);
}

void EnumAutostartLocation(const AutostartLocation& location,
                           std::vector<AutostartEntry>& entries) {
    for (KeyView& view : KeyViews(location)) {
        if (view.readable)
            AppendKeyEntries(view.values.get(), view.address, location.values, entries);
        if (location.values == LocationValues::kAllAndSubKeys)
            AppendSubKeyEntries(view.address, entries);
    }
}
