#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "usb/SafeRemoval.h"
#include "usb/VolumeEject.h"

namespace {

// The device calls seen, and the one that fails.
std::vector<DWORD> g_calls;
DWORD g_failingCode = 0;

BOOL RecordingControl(HANDLE, DWORD code, void* input, DWORD inputSize) {
    g_calls.push_back(code);
    if (code == IOCTL_STORAGE_MEDIA_REMOVAL) {
        // One byte, removal no longer prevented.
        if (inputSize != 1 || static_cast<BYTE*>(input)[0] != 0) return FALSE;
    }
    return code != g_failingCode;
}

class VolumeEjectTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_calls.clear();
        SetVolumeControlForTesting(RecordingControl);
    }
    void TearDown() override { SetVolumeControlForTesting(nullptr); }
};

}  // namespace

TEST(SafeRemovalTest, ProcessesRunFromTheDrivesOrNamedLikeTheShellAreChosen) {
    struct Case {
        std::string path;
        bool fromDrives;  // drives E and G
        bool shell;
    } cases[] = {
        {"E:\\tools\\app.exe", true, false},
        {"G:\\\xD0\xA4\xD0\xBE\xD1\x82\xD0\xBE.exe", true, false},
        {"e:\\tools\\app.exe", false, false},  // the letters are compared exactly
        {"F:\\app.exe", false, false},
        {"C:\\windows\\Explorer.EXE", false, true},
        {"C:\\windows\\explorer.exe", false, true},
        {"E:\\EXPLORER.EXE", true, true},
        {"explorer.exe", false, false},  // exactly twelve characters never match
        {"Xexplorer.exe", false, true},  // only the last twelve count
        {"C:\\explorer.exe.bak", false, false},
        {"", false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(RunsFromDrives(c.path, "EG", 2), c.fromDrives) << c.path;
        EXPECT_EQ(IsShellProgram(c.path), c.shell) << c.path;
    }
    EXPECT_FALSE(RunsFromDrives("E:\\app.exe", "EG", 0) || RunsFromDrives("E:\\a.exe", nullptr, 2));
    EXPECT_EQ(RemovalAppletCommandLine(),
              "C:\\windows\\system32\\RUNDLL32.EXE shell32.dll,Control_RunDLL hotplug.dll");
}

TEST_F(VolumeEjectTest, LockDismountAllowRemovalEjectStopAtTheFirstFailure) {
    TestDrive stick('E', DriveKind::Removable), cd('D', DriveKind::CdRom);
    TestDrive share('N', DriveKind::Network);
    const DWORD lock = FSCTL_LOCK_VOLUME, dismount = FSCTL_DISMOUNT_VOLUME;
    const DWORD allow = IOCTL_STORAGE_MEDIA_REMOVAL, eject = IOCTL_STORAGE_EJECT_MEDIA;
    struct Case {
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
    for (const Case& c : cases) {
        g_calls.clear();
        g_failingCode = c.failing;
        EXPECT_EQ(EjectVolume(c.letter), c.result) << c.letter << " " << std::hex << c.failing;
        EXPECT_EQ(g_calls, c.calls) << c.letter << " " << std::hex << c.failing;
    }
}

TEST_F(VolumeEjectTest, OwnDriveAndALockThatFailsAskForTheLogOffOthersOpenTheApplet) {
    TestDrive stick('E', DriveKind::Removable), busy('F', DriveKind::Removable);
    g_failingCode = 0;
    int questions = 0;
    EjectDrives("E", 1, [&] { return ++questions, false; });
    EXPECT_EQ(questions, 0);
    EXPECT_EQ(g_calls.size(), 4u);
    g_failingCode = FSCTL_LOCK_VOLUME;
    g_calls.clear();
    EjectDrives("EF", 2, [&] { return ++questions, false; });
    EXPECT_EQ(questions, 2) << "declined, the walk goes on";
    EXPECT_EQ(g_calls, (std::vector<DWORD>{FSCTL_LOCK_VOLUME, FSCTL_LOCK_VOLUME}));

    char own = OwnProgramDrive();
    ASSERT_EQ(own, 'C');
    g_failingCode = 0;
    g_calls.clear();
    EjectDrives("C", 1, [&] { return ++questions, false; });
    EXPECT_EQ(questions, 3) << "this program's own volume stays in use";
    EXPECT_TRUE(g_calls.empty());
    KillProcessesNamed("rundll32.exe");  // the applet, opened for the ejected stick
}
