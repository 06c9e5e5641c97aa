// What the shield and the scan judge a threat, how far they walk, and when a delete counts.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <atomic>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "tests/support/TestDrives.h"
#include "usb/DriveScan.h"
#include "usb/RootExamination.h"
#include "usb/ThreatDeletion.h"
#include "usb/ThreatRules.h"

namespace {
// What a user is told of a file on a stick, by its type and whether it is hidden.
struct Type {
    const char* extension;
    bool shieldWhenVisible, shieldWhenHidden, scanWhenVisible, scanWhenHidden;
};

// Scripts, shortcuts and other launchers: the scan lists them always, the shield when hidden.
const char* const kLaunchers[] = {".com", ".bat", ".pif", ".reg", ".lnk", ".scr", ".asp",
                                  ".js",  ".vbs", ".wsf", ".wsh", ".htt", ".htx", ".jsp",
                                  ".jse", ".ws",  ".wsc", ".vb",  ".vbe", ".cmd", ".hta"};
// Programs, libraries and pages: both list them only when hidden.
const char* const kProgramsAndPages[] = {".exe", ".dll", ".html", ".htm", ".aspx"};
// Near misses and harmless types: never listed, hidden or not.
const char* const kHarmless[] = {".jpg",      ".txt", ".htmx", ".exe1", ".ex",   ".jsx",
                                 ".vbscript", ".in",  ".infx", ".bat_", ".html5"};
}  // namespace

TEST(ThreatRulesTest, EveryRiskyTypeAndItsNeighboursAsTheShieldAndTheScanJudgeThem) {
    std::vector<Type> types;
    for (const char* e : kLaunchers) types.push_back({e, false, true, true, true});
    for (const char* e : kProgramsAndPages) types.push_back({e, false, true, false, true});
    // AutoRun's own type: every one in a root for the shield, hidden ones for the scan.
    types.push_back({".inf", true, true, false, true});
    for (const char* e : kHarmless) types.push_back({e, false, false, false, false});
    TestDrive stick('E', DriveKind::Removable);
    int number = 0;
    for (const Type& type : types) {
        for (bool hidden : {false, true}) {
            // Letter case never matters: every other name is in capitals.
            std::string name = "f" + std::to_string(++number) + type.extension;
            if (number % 2) CharUpperA(name.data());
            ASSERT_TRUE(stick.WriteFile(name, "", hidden ? FILE_ATTRIBUTE_HIDDEN : 0)) << name;
            std::string path = stick.Path(name);
            EXPECT_EQ(IsShieldThreat(path.c_str()),
                      hidden ? type.shieldWhenHidden : type.shieldWhenVisible)
                << path;
            EXPECT_EQ(IsScanSuspicious(path.c_str()),
                      hidden ? type.scanWhenHidden : type.scanWhenVisible)
                << path;
        }
    }
}

TEST(ThreatRulesTest, FoldersMissingFilesOddNamesAndNamesInAnyScript) {
    TestDrive stick('E', DriveKind::Removable);
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    // The immunity folder and a program-named folder; a file gone; a name longer than any type.
    ASSERT_TRUE(stick.MakeFolder("AUTORUN.INF", hidden) && stick.MakeFolder("tools.exe", hidden));
    ASSERT_TRUE(stick.WriteFile("a.htmlfile1", "", hidden));
    EXPECT_FALSE(IsShieldThreat(nullptr) || IsScanSuspicious(nullptr));
    // Names in any script judge as their ASCII twins do; only ASCII extensions count.
    const struct {
        const char* name;
        DWORD attributes;
        bool shield, scan;
    } cases[] = {{"AUTORUN.INF", 0, false, false},
                 {"tools.exe", 0, false, false},
                 {"gone.inf", 0, false, false},
                 {"a.htmlfile1", 0, false, false},
                 {"Фото.exe", FILE_ATTRIBUTE_HIDDEN, true, true},
                 {"café.HTM", FILE_ATTRIBUTE_HIDDEN, true, true},
                 {"Ελληνικά\\照片\\run.vbs", FILE_ATTRIBUTE_NORMAL, false, true},
                 {"😀.inf", FILE_ATTRIBUTE_NORMAL, true, false},
                 {"photo.éxe", FILE_ATTRIBUTE_HIDDEN, false, false}};
    for (const auto& c : cases) {
        ASSERT_TRUE(!c.attributes || stick.WriteFile(c.name, "", c.attributes)) << c.name;
        std::string path = stick.Path(c.name);
        EXPECT_EQ(IsShieldThreat(path.c_str()), c.shield) << path;
        EXPECT_EQ(IsScanSuspicious(path.c_str()), c.scan) << path;
    }
    // On the ANSI family only names the code page spells are reached, as before.
    UseAnsiFileFunctionsForTesting(true);
    EXPECT_TRUE(IsShieldThreat(stick.Path("café.HTM").c_str()));
    EXPECT_FALSE(IsShieldThreat(stick.Path("Фото.exe").c_str()));
    std::vector<std::string> names;
    for (FileFinder find(stick.Path("*.*")); find.Found(); find.Next())
        names.push_back(find.Name());
    UseAnsiFileFunctionsForTesting(false);
    EXPECT_EQ(std::ranges::count(names, "café.HTM"), 1);
    EXPECT_EQ(std::ranges::count(names, "Фото.exe"), 0);
}

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
