// Drive enumeration as the 95/98/Me family sees it. Wine reports that family to a program
// named in HKCU\Software\Wine\AppDefaults, read at process start, so the unit tests start
// this program by name after setting its version.
//   koravant_win98_probe.exe <letter of a fixed drive to add after start-up> <report file>
// The report: "family=<n> recorded=<fixed drives at start-up> found=<USB drives>".
#include <windows.h>

#include <cstdio>

#include "tests/support/TestDrives.h"
#include "usb/DriveList.h"

int main(int argc, char** argv) {
    if (argc != 3) return 2;
    int family = GetOsFamily();
    RecordFixedDrives();
    TestDrive late(argv[1][0], DriveKind::Fixed);
    if (!late.Plugged()) return 3;
    char letters[kMaxDriveLetters] = {};
    int count = FindUsbDrives(letters);

    FILE* report = std::fopen(argv[2], "w");
    if (!report) return 4;
    std::fprintf(report, "family=%d recorded=%.*s found=%.*s", family,
                 static_cast<int>(kMaxDriveLetters), g_fixedDrives, count, letters);
    std::fclose(report);
    return 0;
}
