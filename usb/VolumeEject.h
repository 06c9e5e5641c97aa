#pragma once
// Taking a USB volume away: lock, dismount, allow removal, eject. No window code. The
// diagnostic lines go to standard output only.
#include <windows.h>

// EjectVolume results.
constexpr int kEjectFailed = 0;      // not opened, not locked or dismounted, or not closed
constexpr int kEjected = 1;          // locked, dismounted, removal allowed, media ejected
constexpr int kSafelyRemovable = 2;  // locked and dismounted only

int EjectVolume(char letter);

// "\\\\.\\X:" with the access its drive type allows; INVALID_HANDLE_VALUE when the type is
// neither removable, fixed nor CD-ROM, or the volume cannot be opened.
HANDLE OpenVolume(char letter);
bool LockVolume(HANDLE volume);
bool DismountVolume(HANDLE volume);
bool AllowMediaRemoval(HANDLE volume);
bool EjectMedia(HANDLE volume);
bool CloseVolume(HANDLE volume);
// "Error <last error>: <text>" on standard output.
void ReportError(const char* text);

// Tests replace the device calls (a lock that fails, as on a volume in use); null puts the
// real DeviceIoControl back.
using VolumeControl = BOOL (*)(HANDLE volume, DWORD code, void* input, DWORD inputSize);
void SetVolumeControlForTesting(VolumeControl control);
