#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "tests/support/TestDrives.h"
#include "usb/SafeRemoval.h"
#include "usb/VolumeEject.h"

namespace {
// The device calls seen, and the one that fails.
std::vector<DWORD> g_calls;
DWORD g_failingCode = 0;

BOOL RecordingControl(HANDLE, DWORD code, void* input, DWORD inputSize) {
    g_calls.push_back(code);
    // Media removal takes one byte: no longer prevented.
    if (code == IOCTL_STORAGE_MEDIA_REMOVAL && (inputSize != 1 || *static_cast<BYTE*>(input)))
        return FALSE;
    return code != g_failingCode;
}
}  // namespace

TEST(SafeRemovalTest, ProcessesRunFromTheDrivesOrNamedLikeTheShellAreChosen) {
    // Run from drives E and G; named like the shell.
    for (auto [path, fromDrives, shell] : {std::tuple{"E:\\tools\\app.exe", true, false},
                                           {"G:\\Фото.exe", true, false},
                                           {"e:\\tools\\app.exe", false, false},  // exactly
                                           {"F:\\app.exe", false, false},
                                           {"C:\\windows\\Explorer.EXE", false, true},
                                           {"E:\\EXPLORER.EXE", true, true},
                                           {"explorer.exe", false, false},  // twelve never match
                                           {"Xexplorer.exe", false, true},  // the last twelve
                                           {"C:\\explorer.exe.bak", false, false},
                                           {"", false, false}}) {
        EXPECT_EQ(RunsFromDrives(path, "EG", 2), fromDrives) << path;
        EXPECT_EQ(IsShellProgram(path), shell) << path;
    }
    EXPECT_FALSE(RunsFromDrives("E:\\app.exe", "EG", 0) || RunsFromDrives("E:\\a.exe", nullptr, 2));
}

TEST(VolumeEjectTest, StopsAtTheFirstFailureAndAsksAboutEveryVolumeInUseButNeverTouchesItsOwn) {
    SetVolumeControlForTesting(RecordingControl);
    TestDrive stick('E', DriveKind::Removable), cd('D', DriveKind::CdRom);
    TestDrive share('N', DriveKind::Network), busy('F', DriveKind::Removable);
    const DWORD lock = FSCTL_LOCK_VOLUME, dismount = FSCTL_DISMOUNT_VOLUME;
    const DWORD allow = IOCTL_STORAGE_MEDIA_REMOVAL, eject = IOCTL_STORAGE_EJECT_MEDIA;
    const struct {
        char letter;
        DWORD failing;
        int result;
        std::vector<DWORD> calls;
    } cases[] = {
        {'E', 0, kEjected, {lock, dismount, allow, eject}},
        {'E', lock, kEjectFailed, {lock}},
        {'E', dismount, kEjectFailed, {lock, dismount}},
        {'E', allow, kSafelyRemovable, {lock, dismount, allow}},
        {'E', eject, kSafelyRemovable, {lock, dismount, allow, eject}},
        {'D', 0, kEjected, {lock, dismount, allow, eject}},  // read access suffices
        {'N', 0, kEjectFailed, {}},                          // the wrong drive type
        {'Q', 0, kEjectFailed, {}},                          // no such drive
    };
    for (const auto& c : cases) {
        g_calls.clear();
        g_failingCode = c.failing;
        EXPECT_EQ(EjectVolume(c.letter), c.result) << c.letter << " " << std::hex << c.failing;
        EXPECT_EQ(g_calls, c.calls) << c.letter << " " << std::hex << c.failing;
    }
    // Declined, the walk goes on; the program's own drive C: gets the question untouched.
    ASSERT_EQ(OwnProgramDrive(), 'C');
    g_calls.clear();
    g_failingCode = lock;
    int questions = 0;
    EjectDrives("EFC", 3, [&] { return ++questions, false; });
    EXPECT_EQ(questions, 3);
    EXPECT_EQ(g_calls, (std::vector<DWORD>{lock, lock}));
    SetVolumeControlForTesting(nullptr);
}
