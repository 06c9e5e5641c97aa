// The tools page's engines: immunity and the AutoRun policy, and safe removal's choices.
#include <gtest/gtest.h>
#include <windows.h>
#include <winioctl.h>

#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "quarantine/QuarantineStore.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "usb/AutorunPolicy.h"
#include "usb/Immunity.h"
#include "usb/SafeRemoval.h"
#include "usb/VolumeEject.h"

// The device calls seen, and the one that fails.
static std::vector<DWORD> g_calls;
static DWORD g_failingCode = 0;

static BOOL RecordingControl(HANDLE, DWORD code, void* input, DWORD inputSize) {
    g_calls.push_back(code);
    // Media removal takes one byte: no longer prevented.
    return code != g_failingCode &&
           !(code == IOCTL_STORAGE_MEDIA_REMOVAL && (inputSize != 1 || *static_cast<BYTE*>(input)));
}

static DWORD AutoRunMask() {
    auto value = ReadRegistryValue(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun);
    if (!value || value->type != REG_DWORD || value->data.size() != 4) return 0xDEAD;
    return *reinterpret_cast<const DWORD*>(value->data.data());
}

// The layout as Wine can make it: the two-dot sub-directory comes out with one dot here.
static void ExpectLayout(const TestDrive& drive) {
    SCOPED_TRACE(drive.Root());
    const DWORD hiddenFolder = FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_HIDDEN;
    EXPECT_EQ(::GetFileAttributesA(drive.Path("AUTORUN.INF").c_str()) & hiddenFolder, hiddenFolder);
    EXPECT_TRUE(ListFolder(drive.Path("AUTORUN.INF")).size() == 2 &&
                drive.Exists("AUTORUN.INF\\tindrel..\\"));
    EXPECT_EQ(ReadFileBytes(drive.Path("AUTORUN.INF\\ReadMe.txt")),
              "The directory created by Brellonix should be deleted by itself");  // 62 bytes
}

TEST(ImmunityTest, AcquirePlantsTheLayoutOnRemovableAndFixedDrivesOnlyAndCancelTakesItAway) {
    // Only the prefix's C: and this test's drives may be touched, never the host's files.
    ASSERT_EQ(::GetLogicalDrives(), 1u << 2) << "a drive that is not the test's";
    // Nothing is written where the policy key is missing (the prefix's C: is treated too).
    DeleteRegistryTree(HKEY_CURRENT_USER, kExplorerPolicyKey);
    ImmunizeAllDrives(nullptr);
    RemoveAllDriveImmunity(nullptr);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kExplorerPolicyKey));
    // The AutoRun files deleted are quarantined first, under these names.
    const std::string quarantine = ModuleDirectoryUtf8() + "quarantine";
    const std::string coded[] = {quarantine + "\\AUTORUN.INF.kv",
                                 quarantine + "\\AUTORUN.INF (2).kv"};
    for (const std::string& file : coded) DeleteFileUtf8(file);  // left by a failed run
    // The roots warned about, in order.
    std::vector<std::string> warned;
    RootFileWarning warn = [&](const char* root) { warned.push_back(root); };
    TestDrive stick('E', DriveKind::Removable), disk('F', DriveKind::Fixed),
        cd('D', DriveKind::CdRom);
    TestDrive share('N', DriveKind::Network), gone('G', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("autorun.inf", "[autorun]",
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(DeleteTree(gone.Folder()));    // the letter stays, its folder is gone
    ASSERT_EQ(::GetLogicalDrives(), 0x207Cu);  // C to G and N
    // Made again, with a value that both operations must replace.
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun, 7));
    ImmunizeAllDrives(warn);
    EXPECT_EQ(warned, std::vector<std::string>{"E:\\"});
    std::string origin;
    EXPECT_TRUE(ReadQuarantineOrigin(coded[0], origin) && origin == "E:\\AUTORUN.INF") << origin;
    EXPECT_EQ(AutoRunMask(), 0x9Fu);
    ExpectLayout(stick);
    ExpectLayout(disk);
    EXPECT_TRUE(ListFolder(cd.Folder()).empty() && ListFolder(share.Folder()).empty());
    EXPECT_FALSE(gone.Exists(""));

    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun, 3));
    RemoveAllDriveImmunity(warn);
    EXPECT_EQ(AutoRunMask(), 0x91u);
    EXPECT_TRUE(ListFolder(stick.Folder()).empty() && ListFolder(disk.Folder()).empty());
    // Cancel deletes an AutoRun file that it finds, warns, and plants nothing.
    ASSERT_TRUE(stick.WriteFile("AUTORUN.INF", "[autorun]"));
    RemoveAllDriveImmunity(warn);
    EXPECT_EQ(warned, (std::vector<std::string>{"E:\\", "E:\\"}));
    EXPECT_TRUE(ListFolder(stick.Folder()).empty());
    EXPECT_EQ(RestoreQuarantinedFile(coded[1]), kRestoredToOrigin);
    EXPECT_EQ(ReadFileBytes(stick.Path("AUTORUN.INF")), "[autorun]");
    // No copy, no delete: with no quarantine folder to be had, the file stays, unimmunised.
    for (const std::string& file : coded) DeleteFileUtf8(file);
    ::RemoveDirectoryA(quarantine.c_str());
    ASSERT_TRUE(WriteFileBytes(quarantine, "a file where the folder would go"));
    ImmunizeDrive("E:\\", warn);
    EXPECT_EQ(ReadFileBytes(stick.Path("AUTORUN.INF")), "[autorun]");
    EXPECT_TRUE(DeleteFileUtf8(quarantine));
}

TEST(SafeRemovalTest, ChoosesTheDrivesProgramsAndTheShellEjectsUpToTheFirstFailureNeverItsOwn) {
    // Run from drives E and G, named like the shell: programs of other drives and the shell
    // itself are the end-to-end test's.
    for (auto [path, fromDrives, shell] : {std::tuple{"G:\\Фото.exe", true, false},
                                           {"e:\\started from cmd.exe", true, false},
                                           {"C:\\explorer.exe.bak", false, false},
                                           {"", false, false}}) {
        EXPECT_EQ(RunsFromDrives(path, "EG", 2), fromDrives) << path;
        EXPECT_EQ(IsShellProgram(path), shell) << path;
    }
    EXPECT_FALSE(RunsFromDrives("E:\\app.exe", "EG", 0) || RunsFromDrives("E:\\a.exe", nullptr, 2));

    // Each volume is locked, dismounted, allowed out and ejected, up to the first failure.
    SetVolumeControlForTesting(RecordingControl);
    TestDrive stick('E', DriveKind::Removable), cd('D', DriveKind::CdRom);
    TestDrive share('N', DriveKind::Network), busy('F', DriveKind::Removable);
    const DWORD lock = FSCTL_LOCK_VOLUME, dismount = FSCTL_DISMOUNT_VOLUME;
    const DWORD allow = IOCTL_STORAGE_MEDIA_REMOVAL, eject = IOCTL_STORAGE_EJECT_MEDIA;
    using Calls = std::vector<DWORD>;
    // The result and the device calls made, the call `failing` failing.
    auto ejectFailing = [](char letter, DWORD failing) {
        g_calls.clear();
        g_failingCode = failing;
        const int result = EjectVolume(letter);
        return std::tuple(result, g_calls);
    };
    const Calls all = {lock, dismount, allow, eject};
    EXPECT_EQ(ejectFailing('E', 0), std::tuple(kEjected, all));
    EXPECT_EQ(ejectFailing('E', lock), std::tuple(kEjectFailed, Calls{lock}));
    EXPECT_EQ(ejectFailing('E', dismount), std::tuple(kEjectFailed, Calls{lock, dismount}));
    EXPECT_EQ(ejectFailing('E', allow), std::tuple(kSafelyRemovable, Calls{lock, dismount, allow}));
    EXPECT_EQ(ejectFailing('E', eject), std::tuple(kSafelyRemovable, all));
    EXPECT_EQ(ejectFailing('D', 0), std::tuple(kEjected, all));          // read access suffices
    EXPECT_EQ(ejectFailing('N', 0), std::tuple(kEjectFailed, Calls{}));  // the wrong drive type
    // Declined, the walk goes on; the program's own drive C: gets the question untouched.
    ASSERT_EQ(OwnProgramDrive(), 'C');
    g_calls.clear();
    g_failingCode = lock;
    int questions = 0;
    EjectDrives("EFC", 3, [&] { return ++questions, false; });
    EXPECT_EQ(std::tuple(questions, g_calls), std::tuple(3, Calls{lock, lock}));
    SetVolumeControlForTesting(nullptr);
}
