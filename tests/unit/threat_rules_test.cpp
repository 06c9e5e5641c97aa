#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <vector>

#include "framework/FileSystem.h"

#include "tests/support/TestDrives.h"
#include "usb/ThreatRules.h"

TEST(ThreatRulesTest, ExtensionClassesAndTheShieldAndScanRulesSideBySide) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.Plugged());
    auto file = [&](std::string name, DWORD flags = FILE_ATTRIBUTE_NORMAL, bool dir = false) {
        EXPECT_TRUE(dir ? stick.MakeFolder(name, flags) : stick.WriteFile(name, "", flags)) << name;
        return stick.Path(name);
    };
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN;
    struct Case {
        std::string path;
        int extensionClass;
        bool shield;
        bool scan;
    } cases[] = {
        // Every root .inf is a shield threat; the scan wants it hidden.
        {file("AUTORUN.INF"), 6, true, false},
        {file("sub\\Autorun.inf", hidden), 6, true, true},
        {file("x.INF", FILE_ATTRIBUTE_READONLY), 6, true, false},
        {file("dir\\AUTORUN.INF", hidden | FILE_ATTRIBUTE_SYSTEM, true), 0, false, false},
        // Executables and pages: both rules want them hidden.
        {file("setup.exe"), 1, false, false},
        {file("photo.jpg.exe", hidden), 1, true, true},
        {file("readme.html"), 4, false, false},
        {file("readme2.html", hidden), 4, true, true},
        {file("index2.htm", hidden), 18, true, true},
        // Scripts and shortcuts: the scan lists them always, the shield when hidden.
        {file("run.bat"), 5, false, true},
        {file("Game.LNK"), 9, false, true},
        {file("x.jse", hidden), 21, true, true},
        {file("sub\\run.vbs"), 13, false, true},
        // Nothing else, whatever its attributes.
        {file("photo.JPG", hidden), 0, false, false},
        {file("page.htmx", hidden | FILE_ATTRIBUTE_SYSTEM), 0, false, false},
        {file("a.htmlfile1", hidden), 0, false, false},  // longer than 9, cut
        {file("tools.exe", hidden, true), 0, false, false},
        {stick.Path("gone.inf"), 0, false, false},
        // Names in any script judge as their ASCII twins do; only ASCII extensions count.
        {file("Фото.exe", hidden), 1, true, true},
        {file("café.HTM", hidden), 18, true, true},
        {file("Ελληνικά\\照片\\run.vbs"), 13, false, true},
        {file("😀.inf"), 6, true, false},
        {file("photo.éxe", hidden), 0, false, false},
        {file("照片.exe", hidden, true), 0, false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(ClassifyExtension(c.path.c_str()), c.extensionClass) << c.path;
        EXPECT_EQ(IsShieldThreat(c.path.c_str()), c.shield) << c.path;
        EXPECT_EQ(IsScanSuspicious(c.path.c_str()), c.scan) << c.path;
    }
    EXPECT_FALSE(ClassifyExtension(nullptr) || IsShieldThreat(nullptr) ||
                 IsScanSuspicious(nullptr));

    // Only a dot at the very start of the path is passed over, as in a bare name.
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    file(".exe");
    ASSERT_TRUE(::SetCurrentDirectoryA(stick.Root().c_str()));
    EXPECT_EQ(ClassifyExtension(".exe"), 0);
    EXPECT_EQ(ClassifyExtension("E:.exe"), 1);
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
    } cases[] = {{"", 0},     {"E:\\a.exe", 8}, {"café", 4}, {"Фото", 4},
                 {"照片", 2}, {"😀", 2},         {"a😀b", 4}};
    for (const auto& c : cases) EXPECT_EQ(PathLength(c.path), c.units) << c.path;
    EXPECT_TRUE(FitsPathLimit(std::string(255, 'a')));
    EXPECT_FALSE(FitsPathLimit(std::string(256, 'a')) || FitsPathLimit(""));
    std::string pairs;
    for (int i = 0; i < 128; ++i) pairs += "😀";
    EXPECT_FALSE(FitsPathLimit(pairs));  // 256 units in 512 bytes
    EXPECT_TRUE(FitsPathLimit(pairs.substr(4)));
}
