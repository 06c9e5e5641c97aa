// Linked into a test build of the program: every volume lock fails, as on a volume in use,
// which Wine (whose locks always succeed) cannot show. The other device calls are real.
#include <windows.h>
#include <winioctl.h>

#include "usb/VolumeEject.h"

namespace {
BOOL LockFails(HANDLE volume, DWORD code, void* input, DWORD inputSize) {
    if (code == FSCTL_LOCK_VOLUME) {
        ::SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD returned = 0;
    return ::DeviceIoControl(volume, code, input, inputSize, nullptr, 0, &returned, nullptr);
}

const bool g_installed = (SetVolumeControlForTesting(LockFails), true);
}  // namespace
