#include "tests/support/RegistryViews.h"

#include "framework/Handles.h"

bool WriteStringValue(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                      const std::wstring& text) {
    ScopedRegKey created;
    return ::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                             created.put(), nullptr) == ERROR_SUCCESS &&
           ::RegSetValueExW(
               created.get(), name.c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
               static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t))) == ERROR_SUCCESS;
}

bool PlantedValues::Add(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                        DWORD type, const void* data, DWORD size) {
    ScopedRegKey created;
    if (::RegCreateKeyExA(root, key.c_str(), 0, nullptr, 0, KEY_SET_VALUE | view, nullptr,
                          created.put(), nullptr) != ERROR_SUCCESS)
        return false;
    m_values.push_back({root, key, view, name});
    return ::RegSetValueExW(created.get(), name.c_str(), 0, type, static_cast<const BYTE*>(data),
                            size) == ERROR_SUCCESS;
}

bool PlantedValues::AddString(HKEY root, const std::string& key, REGSAM view,
                              const std::wstring& name, const std::wstring& text) {
    m_values.push_back({root, key, view, name});
    return WriteStringValue(root, key, view, name, text);
}

void PlantedValues::RemoveAll() {
    for (const PlantedValue& value : m_values)
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

int RunRegTool(const std::string& arguments) {
    std::string commandLine = "C:\\windows\\system32\\reg.exe " + arguments;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_HIDE;
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &process))
        return -1;
    ScopedHandle processHandle(process.hProcess), thread(process.hThread);
    DWORD code = static_cast<DWORD>(-1);
    if (::WaitForSingleObject(process.hProcess, 60000) != WAIT_OBJECT_0 ||
        !::GetExitCodeProcess(process.hProcess, &code))
        return -1;
    return static_cast<int>(code);
}

bool RegToolFindsValue(const std::string& key, const std::string& name, int bits) {
    return RunRegTool("query \"" + key + "\" /v \"" + name + "\" /reg:" + std::to_string(bits)) ==
           0;
}
