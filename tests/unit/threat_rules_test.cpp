// What the shield and the scan judge a threat, how far they walk, and when a delete counts.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"
#include "usb/DriveScan.h"
#include "usb/ThreatDeletion.h"
#include "usb/ThreatRules.h"

TEST(ThreatRulesTest, EveryRiskyTypeItsNeighboursOddEntriesNamesInAnyScriptAndAPulledStick) {
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN, visible = FILE_ATTRIBUTE_NORMAL;
    // Name, attributes (0: no file, a folder made below or nothing), shield's and scan's verdicts.
    std::vector<std::tuple<std::string, DWORD, bool, bool>> cases = {
        // The immunity folder; a file gone; a name longer than any type.
        {"AUTORUN.INF", 0, false, false},
        {"gone.inf", 0, false, false},
        {"a.htmlfile1", hidden, false, false},
        // Names in any script judge as their ASCII twins do (folders so named: the scan's test);
        // only ASCII extensions count.
        {"Фото.exe", hidden, true, true},
        {"café.HTM", hidden, true, true},
        {"😀.inf", visible, true, false},
        {"photo.éxe", hidden, false, false}};
    // What a user is told of a visible and a hidden file of each type by the shield and the
    // scan. Letter case never matters: every other name is in capitals.
    auto judged = [&](std::vector<const char*> types, bool shieldVisible, bool shieldHidden,
                      bool scanVisible, bool scanHidden) {
        for (const char* type : types) {
            std::string name = "f" + std::to_string(cases.size()) + type;
            cases.push_back({name, visible, shieldVisible, scanVisible});
            CharUpperA(name.data());
            cases.push_back({"hidden " + name, hidden, shieldHidden, scanHidden});
        }
    };
    // Scripts, shortcuts and other launchers: the scan lists them always, the shield when hidden.
    judged({".com", ".bat", ".pif", ".reg", ".lnk", ".scr", ".asp", ".js",  ".vbs", ".wsf", ".wsh",
            ".htt", ".htx", ".jsp", ".jse", ".ws",  ".wsc", ".vb",  ".vbe", ".cmd", ".hta"},
           false, true, true, true);
    // Programs, libraries and pages: both list them only when hidden.
    judged({".exe", ".dll", ".html", ".htm", ".aspx"}, false, true, false, true);
    // AutoRun's own type: every one in a root for the shield, hidden ones for the scan.
    judged({".inf"}, true, true, false, true);
    // A harmless type and types one letter off, longer or shorter: never listed, hidden or not.
    judged({".jpg", ".exe1", ".ex", ".infx", ".in", ".vbscript"}, false, false, false, false);
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.MakeFolder("AUTORUN.INF", hidden));
    EXPECT_FALSE(IsShieldThreat(nullptr) || IsScanSuspicious(nullptr));
    for (const auto& [name, attributes, shield, scan] : cases) {
        ASSERT_TRUE(!attributes || stick.WriteFile(name, "", attributes)) << name;
        const std::string path = stick.Path(name);
        EXPECT_EQ(IsShieldThreat(path.c_str()), shield) << path;
        EXPECT_EQ(IsScanSuspicious(path.c_str()), scan) << path;
    }
    // On the ANSI family only names the code page spells are reached, as before.
    UseAnsiFileFunctionsForTesting(true);
    EXPECT_TRUE(IsShieldThreat(stick.Path("café.HTM").c_str()));
    EXPECT_FALSE(IsShieldThreat(stick.Path("Фото.exe").c_str()));
    UseAnsiFileFunctionsForTesting(false);
    // A missing file counts as deleted only while its drive is there (files gone since the scan:
    // the scan's test): for a stick pulled out, "Deleted" would be a lie.
    ASSERT_TRUE(stick.Remove());
    EXPECT_EQ(DeleteThreatFile(stick.Path("😀.inf")), ThreatDeletion::kDeleteFailed);
    EXPECT_TRUE(stick.Exists("😀.inf"));
}

// Links to folders, which Wine cannot make itself: a host "ln -s" from the prefix. Removed
// before the drives' trees go, whose deletion would follow them.
struct FolderLinks {
    ~FolderLinks() {
        for (const std::string& link : links) {
            RunHost("/bin/rm -f \"" + UnixPathOf(link) + "\"");
            WaitUntil([&] { return !PathExists(link); });
        }
    }
    bool Link(const std::string& link, const std::string& target) {
        links.push_back(link);
        RunHost("/bin/ln -s \"" + UnixPathOf(target) + "\" \"" + UnixPathOf(link) + "\"");
        return WaitUntil([&] {
            const DWORD attributes = FileAttributes(link);
            return attributes != INVALID_FILE_ATTRIBUTES &&
                   (attributes & FILE_ATTRIBUTE_REPARSE_POINT);
        });
    }
    std::vector<std::string> links;
};

// The limit is 255 UTF-16 units, as Windows counts: a Cyrillic path of 253 units (about 490
// UTF-8 bytes) is walked and judged; one of 257 is skipped, never cut to another name. A folder
// link is not walked: one to another drive would list that drive's files (for Delete all) as
// this stick's.
TEST(DriveScanTest, PathsInAnyScriptAreWalkedUpToTheLimitCountedInUtf16UnitsButNoLinkedFolder) {
    TestDrive stick('E', DriveKind::Removable), disk('F', DriveKind::Fixed);
    std::string folders;  // "E:\" + 4 folders of 60 letters: 244 units
    for (int i = 1; i <= 240; ++i) folders += i % 60 ? "ж" : "ж\\";
    const std::string fits = folders + "жж.vbs", passes = folders + "жжжжжж.vbs";
    ASSERT_TRUE(stick.WriteFile(fits, "") && stick.WriteFile(passes, "") &&
                disk.WriteFile("b.vbs", ""));
    FolderLinks links;
    ASSERT_TRUE(links.Link(stick.FolderPath("out"), disk.Folder()));
    std::vector<std::string> found;
    ScanCallbacks callbacks;
    callbacks.onSuspicious = [&](const std::string& path) { found.push_back(path); };
    ScanDrive('E', std::atomic<bool>{true}, callbacks);
    EXPECT_EQ(found, std::vector<std::string>{stick.Path(fits)});
}
