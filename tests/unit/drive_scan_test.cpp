#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "tests/support/TestDrives.h"
#include "usb/DriveScan.h"
#include "usb/RootExamination.h"

// The limit is 255 UTF-16 units, as Windows counts: a Cyrillic path of 253 units (about 490
// UTF-8 bytes) is walked and judged; one of 257 is skipped, never cut to another name.
TEST(DriveScanTest, PathsInAnyScriptAreWalkedUpToTheLimitCountedInUtf16Units) {
    TestDrive stick('E', DriveKind::Removable);
    std::string level, folders;
    for (int i = 0; i < 60; ++i) level += "ж";
    for (int i = 0; i < 4; ++i) folders += level + "\\";  // "E:\" + 244 units
    const std::string fits = folders + "жж.vbs", passes = folders + "жжжжжж.vbs";
    ASSERT_TRUE(stick.Plugged() && stick.WriteFile(fits, "") && stick.WriteFile(passes, ""));
    ASSERT_TRUE(stick.WriteFile("😀.inf", ""));
    EXPECT_EQ(PathLength(stick.Path(fits)), 253u);
    EXPECT_EQ(PathLength(stick.Path(passes)), 257u);
    std::vector<std::string> found;
    std::atomic<bool> running{true};
    ScanCallbacks callbacks;
    callbacks.onSuspicious = [&](const std::string& path) { found.push_back(path); };
    ScanDrive('E', running, callbacks);
    EXPECT_EQ(found, std::vector<std::string>{stick.Path(fits)});
    EXPECT_EQ(FindRootThreats('E'), std::vector<std::string>{stick.Path("😀.inf")});
}
