// Drive lists as the 95/98/Me family sees them, which Wine gives a program by its name:
// koravant_win98_probe.exe <fixed drive letter to add after start-up> prints what it found.
#include <windows.h>

#include <cstdio>

#include "tests/support/TestDrives.h"
#include "usb/DriveList.h"

int main(int argc, char** argv) {
    if (argc != 2) return 2;
    int family = GetOsFamily();
    RecordFixedDrives();
    TestDrive late(argv[1][0], DriveKind::Fixed);
    if (!late.Plugged()) return 3;
    char letters[kMaxDriveLetters] = {};
    int count = FindUsbDrives(letters);
    std::printf("family=%d recorded=%.*s found=%.*s", family, static_cast<int>(kMaxDriveLetters),
                g_fixedDrives, count, letters);
    return 0;
}
