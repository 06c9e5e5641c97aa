#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "framework/Handles.h"
#include "tests/support/TestDrives.h"

namespace {

bool LetterMapped(char letter) { return (::GetLogicalDrives() >> (letter - 'A')) & 1; }

UINT DriveType(char letter) {
    char root[] = {letter, ':', '\\', 0};
    return ::GetDriveTypeA(root);
}

std::string ReadThrough(const std::string& path) {
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return "<unreadable>";
    char buffer[256];
    DWORD got = 0;
    if (!::ReadFile(file.get(), buffer, sizeof(buffer), &got, nullptr)) return "<read failed>";
    return std::string(buffer, got);
}

}  // namespace

TEST(TestDriveTest, EachKindMapsWithItsTypeAndUnplugsCleanly) {
    const DriveKind kinds[] = {DriveKind::Removable, DriveKind::Fixed, DriveKind::CdRom,
                               DriveKind::Network};
    for (DriveKind kind : kinds) {
        SCOPED_TRACE(static_cast<int>(kind));
        std::string folder;
        {
            TestDrive drive('k', kind);
            folder = drive.Folder();
            ASSERT_TRUE(drive.Plugged());
            EXPECT_EQ(drive.Root(), "K:\\");
            EXPECT_TRUE(LetterMapped('K'));
            EXPECT_EQ(DriveType('K'), DriveTypeOf(kind));

            ASSERT_TRUE(drive.WriteFile("sub\\autorun.inf", "[autorun]", FILE_ATTRIBUTE_HIDDEN));
            EXPECT_EQ(ReadThrough(drive.Path("sub\\autorun.inf")), "[autorun]");
            EXPECT_EQ(::GetFileAttributesA(drive.Path("sub\\autorun.inf").c_str()) &
                          FILE_ATTRIBUTE_HIDDEN,
                      static_cast<DWORD>(FILE_ATTRIBUTE_HIDDEN));

            ASSERT_TRUE(drive.Remove());
            EXPECT_FALSE(LetterMapped('K'));
            EXPECT_EQ(DriveType('K'), static_cast<UINT>(DRIVE_NO_ROOT_DIR));
            EXPECT_EQ(drive.ReadFile("sub\\autorun.inf"), "[autorun]");

            ASSERT_TRUE(drive.Plug());
            EXPECT_EQ(ReadThrough(drive.Path("sub\\autorun.inf")), "[autorun]");
        }
        EXPECT_FALSE(LetterMapped('K'));
        EXPECT_EQ(::GetFileAttributesA(folder.c_str()), INVALID_FILE_ATTRIBUTES);
    }
}

TEST(TestDriveTest, KeptFolderOutlivesTheDrive) {
    std::string folder;
    {
        TestDrive drive('L', DriveKind::Removable);
        ASSERT_TRUE(drive.MakeFolder("x\\y", FILE_ATTRIBUTE_HIDDEN));
        drive.KeepFolder();
        folder = drive.Folder();
    }
    EXPECT_FALSE(LetterMapped('L'));
    EXPECT_NE(::GetFileAttributesA((folder + "\\x\\y").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_TRUE(DeleteTree(folder));
}
