#include "usb/AutorunPolicy.h"

#include "framework/Handles.h"

namespace {
void WriteAutoRunMask(DWORD mask) {
    ScopedRegKey key;
    if (::RegOpenKeyExA(HKEY_CURRENT_USER, kExplorerPolicyKey, 0, KEY_ALL_ACCESS, key.put()) !=
        ERROR_SUCCESS)
        return;
    ::RegSetValueExA(key.get(), kNoDriveTypeAutoRun, 0, REG_DWORD,
                     reinterpret_cast<const BYTE*>(&mask), sizeof(mask));
}
}  // namespace

void DisableAutoRun() { WriteAutoRunMask(kAutoRunOffMask); }

void EnableAutoRun() { WriteAutoRunMask(kAutoRunDefaultMask); }
