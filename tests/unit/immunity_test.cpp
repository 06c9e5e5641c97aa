#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "usb/AutorunPolicy.h"
#include "usb/Immunity.h"

namespace {

const char kReadMeText[] = "The directory created by Brellonix should be deleted by itself";

std::string Letters(DWORD mask) {
    std::string letters;
    for (char letter = 'A'; letter <= 'Z'; ++letter, mask >>= 1)
        if (mask & 1) letters += letter;
    return letters;
}

DWORD AutoRunMask() {
    auto value = ReadRegistryValue(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun);
    if (!value || value->type != REG_DWORD || value->data.size() != 4) return 0xDEAD;
    return *reinterpret_cast<const DWORD*>(value->data.data());
}

// The drives' roots the walk warned about, in order.
struct WarningRecorder {
    std::vector<std::string> roots;
    RootFileWarning Warn() {
        return [this](const char* root) { roots.push_back(root); };
    }
};

// The layout as Wine can make it: the two-dot sub-directory comes out with one dot here.
void ExpectLayout(const TestDrive& drive) {
    DWORD attributes = ::GetFileAttributesA(drive.Path("AUTORUN.INF").c_str());
    ASSERT_NE(attributes, INVALID_FILE_ATTRIBUTES) << drive.Root();
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_DIRECTORY) << drive.Root();
    EXPECT_TRUE(attributes & FILE_ATTRIBUTE_HIDDEN) << drive.Root();
    std::vector<std::string> entries = ListFolder(drive.Path("AUTORUN.INF"));
    EXPECT_EQ(entries.size(), 2u) << drive.Root();
    EXPECT_TRUE(drive.Exists("AUTORUN.INF\\tindrel..\\")) << drive.Root();
    std::string readMe = ReadFileBytes(drive.Path("AUTORUN.INF\\ReadMe.txt"));
    EXPECT_EQ(readMe, kReadMeText);
    EXPECT_EQ(readMe.size(), 62u);
}

class ImmunityTest : public ::testing::Test {
  protected:
    void SetUp() override {
        // Only the prefix's C: and this test's drives may be touched, never the host's files.
        ASSERT_EQ(Letters(::GetLogicalDrives()), "C") << "a drive that is not the test's";
        RemoveDriveImmunity("C:\\", nullptr);
    }
    void TearDown() override {
        RemoveDriveImmunity("C:\\", nullptr);
        ::RegCreateKeyA(HKEY_CURRENT_USER, kExplorerPolicyKey, key.put());
    }
    ScopedRegKey key;
};

}  // namespace

TEST_F(ImmunityTest, AcquirePlantsTheLayoutOnRemovableAndFixedDrivesOnlyAndCancelTakesItAway) {
    TestDrive stick('E', DriveKind::Removable), disk('F', DriveKind::Fixed);
    TestDrive cd('D', DriveKind::CdRom), share('N', DriveKind::Network);
    TestDrive gone('G', DriveKind::Removable);
    ASSERT_TRUE(stick.WriteFile("autorun.inf", "[autorun]",
                                FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(DeleteTree(gone.Folder()));  // the letter stays, its folder is gone
    ASSERT_EQ(Letters(::GetLogicalDrives()), "CDEFGN");
    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun, 7));

    WarningRecorder warnings;
    ImmunizeAllDrives(warnings.Warn());
    EXPECT_EQ(warnings.roots, std::vector<std::string>{"E:\\"});
    EXPECT_EQ(AutoRunMask(), 0x9Fu);
    ExpectLayout(stick);
    ExpectLayout(disk);
    EXPECT_TRUE(::GetFileAttributesA("C:\\AUTORUN.INF") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_TRUE(ListFolder(cd.Folder()).empty() && ListFolder(share.Folder()).empty());
    EXPECT_FALSE(gone.Exists(""));

    // A second run leaves immune drives alone and warns about nothing.
    ASSERT_TRUE(stick.WriteFile("AUTORUN.INF\\mine.txt", "kept"));
    EXPECT_FALSE(ImmunizeDrive("E:\\", warnings.Warn()));
    ImmunizeAllDrives(warnings.Warn());
    EXPECT_EQ(warnings.roots.size(), 1u);
    EXPECT_EQ(ReadFileBytes(stick.Path("AUTORUN.INF\\mine.txt")), "kept");
    ASSERT_TRUE(::DeleteFileA(stick.Path("AUTORUN.INF\\mine.txt").c_str()));

    ASSERT_TRUE(WriteRegistryDword(HKEY_CURRENT_USER, kExplorerPolicyKey, kNoDriveTypeAutoRun, 3));
    RemoveAllDriveImmunity(warnings.Warn());
    EXPECT_EQ(AutoRunMask(), 0x91u);
    EXPECT_EQ(warnings.roots.size(), 1u);
    EXPECT_TRUE(ListFolder(stick.Folder()).empty());
    EXPECT_TRUE(ListFolder(disk.Folder()).empty());
    EXPECT_EQ(::GetFileAttributesA("C:\\AUTORUN.INF"), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(RemoveDriveImmunity("E:\\", warnings.Warn())) << "nothing to remove";
    EXPECT_FALSE(ImmunizeDrive(nullptr, nullptr) || RemoveDriveImmunity(nullptr, nullptr));
}

TEST_F(ImmunityTest, NothingIsWrittenWhereThePolicyKeyIsMissing) {
    DeleteRegistryTree(HKEY_CURRENT_USER, kExplorerPolicyKey);
    ImmunizeAllDrives(nullptr);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kExplorerPolicyKey));
    RemoveAllDriveImmunity(nullptr);
    EXPECT_FALSE(RegistryKeyExists(HKEY_CURRENT_USER, kExplorerPolicyKey));
}
