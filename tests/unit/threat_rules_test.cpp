#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "tests/support/TestDrives.h"
#include "usb/ThreatRules.h"

TEST(MatchNoCaseTest, EqualLengthAndCaseBlindForLettersOnly) {
    struct Case {
        const char* text;
        const char* reference;
        size_t length;
        bool match;
    } cases[] = {
        {".EXE", ".exe", 4, true},   {".eXe", ".exe", 4, true}, {".exe", ".exe", 4, true},
        {".exe1", ".exe", 4, false}, {".ex", ".exe", 4, false}, {".exe", ".exe", 3, false},
        {".exe", ".exe", 5, false},  {"", "", 0, true},         {"a", "", 0, false},
        {"[", "{", 1, false},        {"@", "`", 1, false},      {".h\xc4m", ".h\xe4m", 4, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(MatchNoCase(c.text, c.reference, c.length), c.match)
            << '"' << c.text << "\" vs \"" << c.reference << "\" length " << c.length;
    }
    EXPECT_FALSE(MatchNoCase(nullptr, ".exe", 4));
    EXPECT_FALSE(MatchNoCase(".exe", nullptr, 4));
}

class ThreatRulesTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(m_stick.Plugged() && m_immune.Plugged()); }
    std::string File(const std::string& name, DWORD attributes = FILE_ATTRIBUTE_NORMAL,
                     TestDrive* drive = nullptr) {
        if (!drive) drive = &m_stick;
        EXPECT_TRUE(drive->WriteFile(name, "x", attributes)) << name;
        return drive->Path(name);
    }
    std::string Folder(const std::string& name, DWORD attributes = 0, TestDrive* drive = nullptr) {
        if (!drive) drive = &m_stick;
        EXPECT_TRUE(drive->MakeFolder(name, attributes)) << name;
        return drive->Path(name);
    }

    TestDrive m_stick{'E', DriveKind::Removable};
    // A second stick for names that cannot share one root with those above.
    TestDrive m_immune{'F', DriveKind::Removable};
};

TEST_F(ThreatRulesTest, ExtensionsAreNumberedInTableOrderWhateverTheirCase) {
    const char* table[] = {".EXE", ".Com",  ".dll", ".HTML", ".bat", ".INF", ".pif",
                           ".reg", ".LNK",  ".scr", ".asp",  ".JS",  ".vbs", ".wsf",
                           ".wsh", ".Aspx", ".htt", ".HTM",  ".htx", ".jsp", ".JSE",
                           ".ws",  ".wsc",  ".VB",  ".vbe",  ".cmd", ".hta"};
    int number = 1;
    for (const char* extension : table) {
        EXPECT_EQ(ClassifyExtension(File(std::string("file") + extension).c_str()), number)
            << extension;
        ++number;
    }
}

TEST_F(ThreatRulesTest, WhatHasNoRiskyExtension) {
    EXPECT_EQ(ClassifyExtension(File("photo.JPG").c_str()), 0);
    EXPECT_EQ(ClassifyExtension(File("README").c_str()), 0);
    EXPECT_EQ(ClassifyExtension(File("setup.exe.bak").c_str()), 0);
    EXPECT_EQ(ClassifyExtension(File("page.htmx").c_str()), 0);
    EXPECT_EQ(ClassifyExtension(File("a.htmlfile1").c_str()), 0) << "longer than 9, cut";
    EXPECT_EQ(ClassifyExtension(File("a.exeeeeeeeeeeeeee").c_str()), 0);
    EXPECT_EQ(ClassifyExtension(Folder("tools.exe").c_str()), 0) << "a directory";
    EXPECT_EQ(ClassifyExtension(m_stick.Path("missing.exe").c_str()), 0);
    EXPECT_EQ(ClassifyExtension(nullptr), 0);
    EXPECT_EQ(ClassifyExtension(File("photo.jpg.exe").c_str()), 1) << "the last dot counts";

    // Only a dot at the very start of the path is passed over, as in a bare name.
    char previous[MAX_PATH] = {};
    ::GetCurrentDirectoryA(MAX_PATH, previous);
    File(".exe");
    ASSERT_TRUE(::SetCurrentDirectoryA(m_stick.Root().c_str()));
    EXPECT_EQ(ClassifyExtension(".exe"), 0);
    EXPECT_EQ(ClassifyExtension("E:.exe"), 1);
    ::SetCurrentDirectoryA(previous);
}

TEST_F(ThreatRulesTest, ShieldAndScanRulesSideBySide) {
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN;
    struct Case {
        std::string path;
        bool shield;
        bool scan;
    } cases[] = {
        // Every root .inf is a shield threat; the scan wants it hidden.
        {File("AUTORUN.INF"), true, false},
        {File("Autorun.inf", hidden, &m_immune), true, true},
        {File("x.INF", FILE_ATTRIBUTE_READONLY), true, false},
        {Folder("sub\\AUTORUN.INF", hidden | FILE_ATTRIBUTE_SYSTEM), false, false},
        // Executables and pages: both rules want them hidden.
        {File("setup.exe"), false, false},
        {File("setup2.exe", hidden | FILE_ATTRIBUTE_SYSTEM), true, true},
        {File("photo.jpg.exe", hidden), true, true},
        {File("readme.html"), false, false},
        {File("readme2.html", hidden), true, true},
        {File("index.htm"), false, false},
        {File("index2.htm", hidden), true, true},
        {File("page.aspx"), false, false},
        {File("lib.dll", hidden), true, true},
        // Scripts and shortcuts: the scan lists them always, the shield when hidden.
        {File("run.bat"), false, true},
        {File("run2.bat", hidden), true, true},
        {File("Game.LNK"), false, true},
        {File("x.js"), false, true},
        {File("x.jse", hidden), true, true},
        {File("sub\\run.vbs"), false, true},
        // Nothing else, whatever its attributes.
        {File("photo.JPG", hidden), false, false},
        {File("notes.txt", hidden | FILE_ATTRIBUTE_SYSTEM), false, false},
        {File("a.batch", hidden), false, false},
        {Folder("tools.exe", hidden), false, false},
        {Folder("scripts.vbs"), false, false},
        {m_stick.Path("gone.inf"), false, false},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(IsShieldThreat(c.path.c_str()), c.shield) << c.path;
        EXPECT_EQ(IsScanSuspicious(c.path.c_str()), c.scan) << c.path;
    }
    EXPECT_FALSE(IsShieldThreat(nullptr));
    EXPECT_FALSE(IsScanSuspicious(nullptr));
}
