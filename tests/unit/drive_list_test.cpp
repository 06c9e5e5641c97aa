#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <list>

#include "framework/Handles.h"
#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "usb/DriveList.h"

// The letters found; the bytes past the count, a guard past the 20 included, stay untouched.
static std::string Find() {
    std::string letters(kMaxDriveLetters + 4, '#');
    int count = FindUsbDrives(letters.data());
    EXPECT_EQ(letters.find_first_not_of('#', count), std::string::npos) << "written past the count";
    return letters.substr(0, count);
}

TEST(DriveListTest, RemovableDrivesAscendButNotTheFloppyLetterAFixedOnesOnAUsbBusOnly) {
    // The seam's answer: only F: sits on a USB bus (7); H: cannot be opened.
    SetBusTypeQueryForTesting([](char letter) {
        return letter == 'F' ? 7 : letter == 'H' ? -1 : 1;
    });
    TestDrive floppy('A', DriveKind::Removable), late('R', DriveKind::Removable);
    TestDrive early('E', DriveKind::Removable);
    ASSERT_TRUE(early.Remove() && early.Plug());
    {
        TestDrive cd('D', DriveKind::CdRom), share('N', DriveKind::Network);
        TestDrive internal('G', DriveKind::Fixed), unreadable('H', DriveKind::Fixed);
        TestDrive usbDisk('F', DriveKind::Fixed);
        EXPECT_EQ(Find(), "EFR");
    }
    std::list<TestDrive> more;
    for (char letter : std::string("BDFGHIJKLMNOPQSTUVWXYZ"))
        more.emplace_back(letter, DriveKind::Removable);
    EXPECT_EQ(Find(), "BDEFGHIJKLMNOPQRSTUV") << "never more than twenty";
    SetBusTypeQueryForTesting(nullptr);

    // The real query reads the volume's own descriptor: Wine's answers SCSI for C:.
    ScopedHandle volume(::CreateFileA("\\\\?\\C:", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                      nullptr, OPEN_EXISTING, 0, nullptr));
    STORAGE_DEVICE_DESCRIPTOR descriptor = {};
    descriptor.Size = sizeof(descriptor);
    ASSERT_TRUE(volume && QueryStorageDescriptor(volume.get(), &descriptor));
    EXPECT_EQ(descriptor.BusType, BusTypeScsi);
}

// Wine gives the probe the 95/98/Me version by its name. The probe, beside this program, adds G:
// after its start-up, then looks for USB drives.
TEST(DriveListWin98Test, FixedDriveCountsExactlyWhenAbsentAtStartup) {
    const char* key = "Software\\Wine\\AppDefaults\\koravant_win98_probe.exe";
    ASSERT_TRUE(WriteRegistryString(HKEY_CURRENT_USER, key, "Version", "win98"));
    TestDrive presentAtStartup('F', DriveKind::Fixed), stick('H', DriveKind::Removable);
    TestDrive floppy('A', DriveKind::Removable);
    char report[256] = {};
    FILE* output = _popen((BuildFolder() + "\\koravant_win98_probe.exe G").c_str(), "r");
    if (output) std::fread(report, 1, sizeof(report) - 1, output);
    EXPECT_TRUE(output && _pclose(output) == 0);
    DeleteRegistryTree(HKEY_CURRENT_USER, key);
    EXPECT_STREQ(report, "family=2 recorded=CF found=GH");
}
