#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "tests/support/TestDrives.h"
#include "usb/DriveScan.h"
#include "usb/RootExamination.h"

namespace {
std::string Repeat(const std::string& text, size_t count) {
    std::string repeated;
    for (size_t i = 0; i < count; ++i) repeated += text;
    return repeated;
}

std::vector<std::string> ScanFindings(char letter) {
    std::vector<std::string> found;
    std::atomic<bool> running{true};
    ScanCallbacks callbacks;
    callbacks.onSuspicious = [&](const std::string& path) { found.push_back(path); };
    ScanDrive(letter, running, callbacks);
    return found;
}
}  // namespace

// The limit is 255 UTF-16 units, as Windows counts: a Cyrillic path of 252 units (about 490
// UTF-8 bytes) is walked and judged; one of 256 is skipped, never cut to another name.
TEST(DriveScanTest, PathsInAnyScriptAreWalkedUpToTheLimitCountedInUtf16Units) {
    TestDrive stick('E', DriveKind::Removable);
    const std::string folders = Repeat(Repeat("ж", 60) + "\\", 4);  // "E:\" + 244 units
    const std::string fits = folders + "жж.vbs", passes = folders + "жжжжжж.vbs";
    ASSERT_TRUE(stick.Plugged() && stick.WriteFile(fits, "") && stick.WriteFile(passes, ""));
    ASSERT_TRUE(stick.WriteFile("😀.inf", ""));
    EXPECT_EQ(PathLength(stick.Path(fits)), 253u);
    EXPECT_EQ(PathLength(stick.Path(passes)), 257u);
    EXPECT_EQ(ScanFindings('E'), std::vector<std::string>{stick.Path(fits)});
    EXPECT_EQ(FindRootThreats('E'), std::vector<std::string>{stick.Path("😀.inf")});
}
