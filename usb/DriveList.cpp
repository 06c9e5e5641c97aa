#include "usb/DriveList.h"

#include <atomic>

#include "framework/Handles.h"

char g_fixedDrives[kMaxDriveLetters] = {};

namespace {

constexpr DWORD kDescriptorBufferSize = 551;
constexpr int kBusTypeUsb = 7;

std::atomic<BusTypeQuery> g_busTypeQuery{nullptr};

UINT DriveTypeOf(char letter) {
    char root[4];
    wsprintfA(root, "%c:", letter);
    return ::GetDriveTypeA(root);
}

int QueryVolumeBusType(char letter) {
    char volumeName[8];
    wsprintfA(volumeName, "\\\\?\\%c:", letter);
    ScopedHandle volume(::CreateFileA(volumeName, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    if (!volume) return -1;
    // Local storage keeps the query re-entrant for the scan worker.
    alignas(STORAGE_DEVICE_DESCRIPTOR) BYTE buffer[kDescriptorBufferSize] = {};
    auto* descriptor = reinterpret_cast<STORAGE_DEVICE_DESCRIPTOR*>(buffer);
    descriptor->Size = kDescriptorBufferSize;
    if (!QueryStorageDescriptor(volume.get(), descriptor)) return -1;
    return descriptor->BusType;
}

int BusTypeOf(char letter) {
    BusTypeQuery query = g_busTypeQuery.load();
    return query ? query(letter) : QueryVolumeBusType(letter);
}

bool PresentAtStartup(char letter) {
    for (char recorded : g_fixedDrives) {
        if (recorded == 0) return false;
        if (recorded == letter) return true;
    }
    return false;
}

bool IsUsbDrive(char letter) {
    switch (DriveTypeOf(letter)) {
        case DRIVE_REMOVABLE:
            return letter != 'A';  // the floppy drive
        case DRIVE_FIXED:
            if (GetOsFamily() == 2) return !PresentAtStartup(letter);
            return BusTypeOf(letter) == kBusTypeUsb;
        default:
            return false;
    }
}

}  // namespace

void RecordFixedDrives() {
    size_t count = 0;
    while (count < kMaxDriveLetters && g_fixedDrives[count] != 0) ++count;
    char letter = 'A';
    for (DWORD mask = ::GetLogicalDrives(); mask != 0 && count < kMaxDriveLetters;
         mask >>= 1, ++letter) {
        if ((mask & 1) && DriveTypeOf(letter) == DRIVE_FIXED) g_fixedDrives[count++] = letter;
    }
}

int FindUsbDrives(char* letters) {
    if (!letters) return 0;
    size_t count = 0;
    char letter = 'A';
    for (DWORD mask = ::GetLogicalDrives(); mask != 0 && count < kMaxDriveLetters;
         mask >>= 1, ++letter) {
        if ((mask & 1) && IsUsbDrive(letter)) letters[count++] = letter;
    }
    return static_cast<int>(count);
}

BOOL QueryStorageDescriptor(HANDLE volume, STORAGE_DEVICE_DESCRIPTOR* descriptor) {
    if (!descriptor) return FALSE;
    STORAGE_PROPERTY_QUERY query = {};
    query.PropertyId = StorageDeviceProperty;
    query.QueryType = PropertyStandardQuery;
    DWORD returned = 0;
    return ::DeviceIoControl(volume, IOCTL_STORAGE_QUERY_PROPERTY, &query, sizeof(query),
                             descriptor, descriptor->Size, &returned, nullptr);
}

int GetOsFamily() {
    OSVERSIONINFOA version = {};
    version.dwOSVersionInfoSize = sizeof(version);
    if (!::GetVersionExA(&version)) return 0;
    switch (version.dwPlatformId) {
        case VER_PLATFORM_WIN32_NT:
            return 1;
        case VER_PLATFORM_WIN32_WINDOWS:
            return 2;
        default:
            return static_cast<int>(version.dwPlatformId);
    }
}

void SetBusTypeQueryForTesting(BusTypeQuery query) { g_busTypeQuery.store(query); }
