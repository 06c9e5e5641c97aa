#include "usb/VolumeEject.h"

#include <winioctl.h>

#include <atomic>
#include <cstdio>

namespace {

std::atomic<VolumeControl> g_volumeControl{nullptr};

BOOL RealVolumeControl(HANDLE volume, DWORD code, void* input, DWORD inputSize) {
    DWORD returned = 0;
    return ::DeviceIoControl(volume, code, input, inputSize, nullptr, 0, &returned, nullptr);
}

bool Control(HANDLE volume, DWORD code, void* input = nullptr, DWORD inputSize = 0) {
    VolumeControl control = g_volumeControl.load();
    return (control ? control : RealVolumeControl)(volume, code, input, inputSize) != FALSE;
}

}  // namespace

void ReportError(const char* text) {
    std::printf("Error %lu: %s\n", ::GetLastError(), text);
    std::fflush(stdout);
}

HANDLE OpenVolume(char letter) {
    char root[8];
    wsprintfA(root, "%c:\\", letter);
    DWORD access;
    switch (::GetDriveTypeA(root)) {
        case DRIVE_REMOVABLE:
        case DRIVE_FIXED:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
        case DRIVE_CDROM:
            access = GENERIC_READ;
            break;
        default:
            std::printf("Cannot eject.  Drive type is incorrect.\n");
            std::fflush(stdout);
            return INVALID_HANDLE_VALUE;
    }
    char name[8];
    wsprintfA(name, "\\\\.\\%c:", letter);
    HANDLE volume = ::CreateFileA(name, access, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr);
    if (volume == INVALID_HANDLE_VALUE) ReportError("CreateFile");
    return volume;
}

bool LockVolume(HANDLE volume) { return Control(volume, FSCTL_LOCK_VOLUME); }

bool DismountVolume(HANDLE volume) { return Control(volume, FSCTL_DISMOUNT_VOLUME); }

bool AllowMediaRemoval(HANDLE volume) {
    PREVENT_MEDIA_REMOVAL removal = {};
    removal.PreventMediaRemoval = FALSE;
    return Control(volume, IOCTL_STORAGE_MEDIA_REMOVAL, &removal, sizeof(removal));
}

bool EjectMedia(HANDLE volume) { return Control(volume, IOCTL_STORAGE_EJECT_MEDIA); }

bool CloseVolume(HANDLE volume) { return ::CloseHandle(volume) != FALSE; }

int EjectVolume(char letter) {
    HANDLE volume = OpenVolume(letter);
    if (volume == INVALID_HANDLE_VALUE) return kEjectFailed;
    bool removable = LockVolume(volume) && DismountVolume(volume);
    bool ejected = removable && AllowMediaRemoval(volume) && EjectMedia(volume);
    // Closing also releases the lock.
    if (!CloseVolume(volume)) return kEjectFailed;
    if (ejected) return kEjected;
    return removable ? kSafelyRemovable : kEjectFailed;
}

void SetVolumeControlForTesting(VolumeControl control) { g_volumeControl.store(control); }
