#pragma once
// Registry values in either view of HKLM, planted and removed without the program's code, and
// Wine's own reg.exe as an independent witness of what is where.
#include <windows.h>

#include <string>
#include <vector>

// The view flag of the 64-bit and the 32-bit registry; both work from a 32-bit process.
constexpr REGSAM kView64 = KEY_WOW64_64KEY;
constexpr REGSAM kView32 = KEY_WOW64_32KEY;

struct PlantedValue {
    HKEY root;
    std::string key;
    REGSAM view;
    std::wstring name;
};

// Writes values and removes every one of them again when it goes.
class PlantedValues {
  public:
    PlantedValues() = default;
    ~PlantedValues() { RemoveAll(); }
    PlantedValues(const PlantedValues&) = delete;
    PlantedValues& operator=(const PlantedValues&) = delete;

    bool Add(HKEY root, const std::string& key, REGSAM view, const std::wstring& name, DWORD type,
             const void* data, DWORD size);
    bool AddString(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                   const std::wstring& text);
    void RemoveAll();

  private:
    std::vector<PlantedValue> m_values;
};

bool WriteStringValue(HKEY root, const std::string& key, REGSAM view, const std::wstring& name,
                      const std::wstring& text);
// The value's string, or "<missing>"; read in the given view.
std::wstring ReadStringValue(HKEY root, const std::string& key, REGSAM view,
                             const std::wstring& name);
bool RemoveRegistryValue(HKEY root, const std::string& key, REGSAM view, const std::wstring& name);

// Runs Wine's reg.exe with `arguments`; its exit code, or -1 when it did not start or end.
int RunRegTool(const std::string& arguments);
// `reg query "<key>" /v <name> /reg:<bits>` finds the value (key with its hive, "HKLM\...").
bool RegToolFindsValue(const std::string& key, const std::string& name, int bits);
