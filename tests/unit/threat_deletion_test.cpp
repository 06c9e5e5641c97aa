#include <gtest/gtest.h>

#include "framework/FileSystem.h"
#include "tests/support/TestDrives.h"
#include "usb/ThreatDeletion.h"

// A file that is not there counts as deleted only while its drive is: a stick pulled out
// before its turn leaves its threats, and saying "Deleted" would be a lie.
TEST(ThreatDeletionTest, AMissingFileIsGoneOnlyWhileItsDriveIsThere) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.Plugged() && stick.WriteFile("autorun.inf", "[autorun]"));
    EXPECT_EQ(DeleteThreatFile("E:\\gone.inf"), ThreatDeletion::kAlreadyGone);
    EXPECT_EQ(DeleteThreatFile("E:\\no folder\\gone.inf"), ThreatDeletion::kAlreadyGone);
    ASSERT_TRUE(stick.Remove());
    EXPECT_EQ(DeleteThreatFile("E:\\autorun.inf"), ThreatDeletion::kDeleteFailed);
    EXPECT_EQ(MissingThreatResult("E:\\autorun.inf"), ThreatDeletion::kDeleteFailed);
    EXPECT_TRUE(stick.Exists("autorun.inf"));
}
