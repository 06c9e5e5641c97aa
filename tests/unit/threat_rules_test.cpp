#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <vector>

#include "framework/FileSystem.h"
#include "tests/support/TestDrives.h"
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

TEST(ThreatRulesTest, FoldersMissingFilesAndOddNamesAreNeverThreats) {
    TestDrive stick('E', DriveKind::Removable);
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    // The immunity folder and a program-named folder; a file gone; a name longer than any type.
    ASSERT_TRUE(stick.MakeFolder("AUTORUN.INF", hidden) && stick.MakeFolder("tools.exe", hidden));
    ASSERT_TRUE(stick.WriteFile("a.htmlfile1", "", hidden) && stick.WriteFile(".exe", "", hidden));
    for (const char* name : {"AUTORUN.INF", "tools.exe", "gone.inf", "a.htmlfile1"}) {
        std::string path = stick.Path(name);
        EXPECT_FALSE(IsShieldThreat(path.c_str()) || IsScanSuspicious(path.c_str())) << path;
    }
    EXPECT_FALSE(IsShieldThreat(nullptr) || IsScanSuspicious(nullptr));

    // Names in any script judge as their ASCII twins do; only ASCII extensions count.
    const struct {
        const char* name;
        DWORD attributes;
        bool shield, scan;
    } scripts[] = {{"Фото.exe", FILE_ATTRIBUTE_HIDDEN, true, true},
                   {"café.HTM", FILE_ATTRIBUTE_HIDDEN, true, true},
                   {"Ελληνικά\\照片\\run.vbs", 0, false, true},
                   {"😀.inf", 0, true, false},
                   {"photo.éxe", FILE_ATTRIBUTE_HIDDEN, false, false}};
    for (const auto& s : scripts) {
        ASSERT_TRUE(stick.WriteFile(s.name, "", s.attributes)) << s.name;
        std::string path = stick.Path(s.name);
        EXPECT_EQ(IsShieldThreat(path.c_str()), s.shield) << path;
        EXPECT_EQ(IsScanSuspicious(path.c_str()), s.scan) << path;
    }

    // Only a dot at the very start of the path is passed over, as in a bare name.
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    ASSERT_TRUE(::SetCurrentDirectoryA(stick.Root().c_str()));
    EXPECT_FALSE(IsScanSuspicious(".exe"));
    EXPECT_TRUE(IsScanSuspicious("E:.exe"));
    ::SetCurrentDirectoryA(previous);
}

TEST(ThreatRulesTest, OnTheAnsiFamilyOnlyNamesTheCodePageSpellsAreReachedAsBefore) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.Plugged() && stick.WriteFile("café.exe", "", FILE_ATTRIBUTE_HIDDEN) &&
                stick.WriteFile("Фото.exe", "", FILE_ATTRIBUTE_HIDDEN));
    UseAnsiFileFunctionsForTesting(true);
    EXPECT_EQ(ClassifyExtension(stick.Path("café.exe").c_str()), 1);
    EXPECT_TRUE(IsShieldThreat(stick.Path("café.exe").c_str()));
    EXPECT_FALSE(IsShieldThreat(stick.Path("Фото.exe").c_str()));
    std::vector<std::string> names;
    for (FileFinder find(stick.Path("*.exe")); find.Found(); find.Next())
        names.push_back(find.Name());
    UseAnsiFileFunctionsForTesting(false);
    EXPECT_EQ(std::ranges::count(names, "café.exe"), 1);
    EXPECT_EQ(std::ranges::count(names, "Фото.exe"), 0);
    EXPECT_TRUE(IsShieldThreat(stick.Path("Фото.exe").c_str()));
}

TEST(FileSystemTest, PathLengthCountsUtf16Units) {
    struct {
        const char* path;
        size_t units;
    } cases[] = {{"", 0}, {"café", 4}, {"Фото", 4}, {"照片", 2}, {"a😀b", 4}};
    for (const auto& c : cases) EXPECT_EQ(PathLength(c.path), c.units) << c.path;
    EXPECT_TRUE(FitsPathLimit(std::string(255, 'a')));
    EXPECT_FALSE(FitsPathLimit(std::string(256, 'a')) || FitsPathLimit(""));
    std::string pairs;
    for (int i = 0; i < 128; ++i) pairs += "😀";
    EXPECT_FALSE(FitsPathLimit(pairs));  // 256 units in 512 bytes
    EXPECT_TRUE(FitsPathLimit(pairs.substr(4)));
}
