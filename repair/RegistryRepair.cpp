#include "repair/RegistryRepair.h"

#include "framework/Handles.h"
#include "framework/LateImport.h"

namespace {

void ApplyInView(const RegistryStep& step, HKEY root, REGSAM view) {
    ScopedRegKey key;
    if (::RegOpenKeyExA(root, step.key, 0, KEY_ALL_ACCESS | view, key.put()) != ERROR_SUCCESS)
        return;
    switch (step.action) {
        case RepairAction::DeleteValue:
            ::RegDeleteValueA(key.get(), step.name);
            break;
        case RepairAction::SetDword:
            ::RegSetValueExA(key.get(), step.name, 0, REG_DWORD,
                             reinterpret_cast<const BYTE*>(&step.number), sizeof(step.number));
            break;
        case RepairAction::SetText: {
            std::string data = FixedLengthData(step.text, step.dataLength);
            if (data.empty()) return;
            ::RegSetValueExA(key.get(), step.name, 0, step.textType,
                             reinterpret_cast<const BYTE*>(data.data()),
                             static_cast<DWORD>(data.size()));
            break;
        }
    }
}
}  // namespace

bool IsSixtyFourBitSystem() {
    if (sizeof(void*) == 8) return true;
    // Not in Windows before XP SP2: looked up, not imported.
    auto isWow64 = LATE_IMPORT("kernel32.dll", IsWow64Process);
    BOOL wow64 = FALSE;
    return isWow64 && isWow64(::GetCurrentProcess(), &wow64) && wow64;
}

std::vector<REGSAM> RegistryViewsFor(RepairHive hive, bool sixtyFourBitSystem) {
    if (hive == RepairHive::CurrentUser || !sixtyFourBitSystem) return {0};
    if (hive == RepairHive::Machine) return {KEY_WOW64_64KEY};
    return {KEY_WOW64_64KEY, KEY_WOW64_32KEY};
}

std::string FixedLengthData(const char* text, DWORD length) {
    std::string data(text);
    if (data.size() >= length) return {};
    data.resize(length, '\0');
    return data;
}

void ApplyRegistryStep(const RegistryStep& step, bool sixtyFourBitSystem) {
    HKEY root = step.hive == RepairHive::CurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
    for (REGSAM view : RegistryViewsFor(step.hive, sixtyFourBitSystem))
        ApplyInView(step, root, view);
}

void RepairRegistry(const ListStep& list) {
    bool sixtyFourBit = IsSixtyFourBitSystem();
    for (const RepairRow& row : RepairTable()) {
        for (const RegistryStep& step : row.before) ApplyRegistryStep(step, sixtyFourBit);
        list(row.location, row.stateStringId);
        for (const RegistryStep& step : row.after) ApplyRegistryStep(step, sixtyFourBit);
    }
}
