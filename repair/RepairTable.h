#pragma once
// The registry repair as data: 31 rows, each listed between the registry steps done before
// it and those done after it.
#include <windows.h>

#include <vector>

// Which key a step opens. Machine-wide keys are written where the system reads them: the
// 64-bit view on a 64-bit system; the browser's in both views, since 32-bit and 64-bit
// browsers each read their own.
enum class RepairHive { CurrentUser, Machine, MachineEveryView };

enum class RepairAction { DeleteValue, SetDword, SetText };

struct RegistryStep {
    RepairAction action;
    RepairHive hive;
    const char* key;
    const char* name;  // "" is the key's default value
    DWORD number = 0;
    const char* text = nullptr;
    DWORD textType = REG_SZ;
    DWORD dataLength = 0;  // text steps: the fixed length, zero bytes after the text
};

struct RepairRow {
    const char* location;  // column 0, as the user reads it
    UINT stateStringId;    // column 1
    std::vector<RegistryStep> before;
    std::vector<RegistryStep> after;
};

const std::vector<RepairRow>& RepairTable();

// The addresses the browser values are set to.
extern const char kBrowserHomePage[];
extern const char kBrowserSearchPage[];
