#include "tests/support/RegistryViews.h"

#include "framework/Handles.h"

namespace {
bool WriteValue(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                DWORD type, const void* data, DWORD size) {
    ScopedRegKey created;
    return ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                             created.put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExW(created.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            size) == ERROR_SUCCESS;
}
}  // namespace

bool WriteStringValue(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                      const std::wstring& text) {
    return WriteValue(root, key, view, name, REG_SZ, text.c_str(),
                      static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
}

bool PlantedValues::Add(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                        DWORD type, const void* data, DWORD size) {
    m_values.push_back({root, key, view, name});
    return WriteValue(root, key, view, name, type, data, size);
}

bool PlantedValues::AddString(HKEY root, const std::string& key, REGSAM view,
                              const std::wstring& name, const std::wstring& text) {
    m_values.push_back({root, key, view, name});
    return WriteStringValue(root, key, view, name, text);
}

void PlantedValues::RemoveAll() {
    for (const Planted& value : m_values)
        RemoveRegistryValue(value.root, value.key, value.view, value.name);
    m_values.clear();
}

std::wstring ReadStringValue(HKEY root, const std::string& key, REGSAM view,
                             const std::wstring& name) {
    ScopedRegKey opened;
    wchar_t text[1024] = {};
    DWORD size = sizeof(text) - sizeof(wchar_t), type = 0;
    if (::RegOpenKeyExA(root, key.c_str(), 0, KEY_QUERY_VALUE | view, opened.put()) !=
            ERROR_SUCCESS ||
        ::RegQueryValueExW(opened.get(), name.c_str(), nullptr, &type,
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
