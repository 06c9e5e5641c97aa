#pragma once
// Which drive letters are USB drives right now. No window code: the main window, the scan
// worker and safe removal call these, tests call them directly.
#include <windows.h>
#include <winioctl.h>

#include <cstddef>

constexpr size_t kMaxDriveLetters = 20;

// The fixed drives present when the program started, ascending; zero-filled after the last.
extern char g_fixedDrives[kMaxDriveLetters];

// Appends every fixed drive present now to g_fixedDrives (at most 20). Called once at start-up.
void RecordFixedDrives();

// Fills `letters` (a caller-owned, zero-filled buffer of 20) in ascending order with the USB
// drives: removable drives other than A:, and fixed drives that are on a USB bus (NT family)
// or were absent at start-up (95/98/Me family). Returns the count; the buffer is untouched
// when nothing qualifies.
int FindUsbDrives(char* letters);

// IOCTL_STORAGE_QUERY_PROPERTY for the device descriptor; `descriptor->Size` is the buffer's
// size. Non-zero on success.
BOOL QueryStorageDescriptor(HANDLE volume, STORAGE_DEVICE_DESCRIPTOR* descriptor);

// 1 for the NT family, 2 for the 95/98/Me family, another platform id unchanged, 0 on failure.
int GetOsFamily();

// Tests replace how a fixed volume's bus type is asked (Wine reports no USB bus); null puts
// the real descriptor query back. Returns the bus type, or -1 when the volume cannot be asked.
using BusTypeQuery = int (*)(char letter);
void SetBusTypeQueryForTesting(BusTypeQuery query);
