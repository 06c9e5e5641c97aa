#pragma once
// Registry values in either view of HKLM, planted and removed without the program's code.
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"

// The view flag of the 64-bit and the 32-bit registry; both work from a 32-bit process.
constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;

// Creates the key when it is missing.
inline bool WriteRegistryValue(HKEY root, const std::string& key, REGSAM view,
                               const std::wstring& name, DWORD type, const void* data, DWORD size) {
    ScopedRegKey created;
    return ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                             created.put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExW(created.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            size) == ERROR_SUCCESS;
}
inline bool WriteStringValue(HKEY root, const std::string& key, REGSAM view,
                             const std::wstring& name, const std::wstring& text) {
    DWORD size = DWORD((text.size() + 1) * sizeof(wchar_t));
    return WriteRegistryValue(root, key, view, name, REG_SZ, text.c_str(), size);
}
// The value's string, or "<missing>"; read in the given view.
inline std::wstring ReadStringValue(HKEY root, const std::string& key, REGSAM view,
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
inline bool RemoveRegistryValue(HKEY root, const std::string& key, REGSAM view,
                                const std::wstring& name) {
    ScopedRegKey opened;
    return ::RegOpenKeyExA(root, key.c_str(), 0, KEY_SET_VALUE | view, opened.put()) ==
               ERROR_SUCCESS &&
           ::RegDeleteValueW(opened.get(), name.c_str()) == ERROR_SUCCESS;
}

// Writes values and removes every one of them again when it goes.
class PlantedValues {
  public:
    PlantedValues() = default;
    ~PlantedValues() { RemoveAll(); }
    PlantedValues(const PlantedValues&) = delete;
    PlantedValues& operator=(const PlantedValues&) = delete;

    bool Add(HKEY root, const std::string& key, REGSAM view, const std::wstring& name, DWORD type,
             const void* data, DWORD size) {
        m_removals.push_back([=] { RemoveRegistryValue(root, key, view, name); });
        return WriteRegistryValue(root, key, view, name, type, data, size);
    }
    bool AddString(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                   const std::wstring& text) {
        return Add(root, key, view, name, REG_SZ, text.c_str(), DWORD((text.size() + 1) * 2));
    }
    void RemoveAll() {
        for (const auto& remove : m_removals) remove();
        m_removals.clear();
    }

  private:
    std::vector<std::function<void()>> m_removals;
};
