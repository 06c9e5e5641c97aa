// Pictures of the program for docs/screenshots: the start-up alert, the notification area,
// every page of the main window and the About box. scripts/screenshots runs these (they are
// disabled in ordinary test runs, since they only take pictures) and turns them into PNGs.
#include <gtest/gtest.h>

#include "tests/support/KoravantApp.h"
#include "tests/support/PageView.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
struct Page {
    const char* name;
    int buttonId;
    UINT templateId;
};
// In the order the buttons stand along the top of the window.
const Page kPages[] = {
    {"information", 1000, 129},  {"plugwatch", 1001, 153},  {"plugsweep", 1006, 152},
    {"taskwatch", 1010, 150},    {"quarantine", 1011, 151}, {"plugkit", 1008, 155},
    {"repairsystem", 1007, 154}, {"autostart", 1009, 159},
};

// Lets the windows finish painting before a picture is taken.
void Settle() { ::Sleep(400); }

// A stick as users meet them: AutoRun files and hidden programs beside their own files.
void FillStick(TestDrive& stick) {
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN;
    stick.WriteFile("autorun.inf", "[autorun]\r\nopen=RECYCLER\\svchost.exe\r\n", hidden);
    stick.WriteFile("Holiday photos.lnk", "", hidden);
    stick.WriteFile("setup.exe", "MZ", hidden);
    stick.WriteFile("Holiday photos\\beach.jpg", "");
    stick.WriteFile("RECYCLER\\svchost.exe", "MZ", hidden);
    stick.WriteFile("Documents\\report.doc", "");
    stick.WriteFile("Documents\\report.doc.vbs", "");
}

// Two files deleted earlier, as the quarantine keeps them.
void FillQuarantine(const std::string& programFolder) {
    std::string folder = programFolder + "\\quarantine";
    DeleteTree(folder);
    CreateFolders(folder);
    WriteFileBytes(folder + "\\autorun.inf.kv", EncodeQuarantineFile("F:\\autorun.inf", "[x]"));
    WriteFileBytes(folder + "\\tools.scr.kv", EncodeQuarantineFile("F:\\games\\tools.scr", "MZ"));
}
}  // namespace

TEST(Screenshots, DISABLED_TakeThePicturesOfTheDocumentation) {
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app{LaunchFolder("screenshots", "Koravant.exe", /*withHelpFile=*/true)};
    FillQuarantine(app.Folder());
    TestDrive stick('E', DriveKind::Removable);
    FillStick(stick);
    ASSERT_TRUE(app.Start());

    HWND alert = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        alert = FindTopLevel(app.Pid(), "#32770", "Brellonix");
        return alert && ::IsWindowVisible(alert);
    }));
    Settle();
    EXPECT_TRUE(SaveScreenshot("alert", alert));

    ASSERT_TRUE(app.WaitForMainWindow());
    ASSERT_TRUE(app.WaitUntilHidden());
    // The alert hides itself after three seconds; the picture of the taskbar waits for it.
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindowVisible(alert); }, 6000));
    Settle();
    EXPECT_TRUE(SaveScreenshot("taskbar", ::FindWindowA("Shell_TrayWnd", nullptr)));

    ASSERT_TRUE(app.BringForward());
    HWND main = app.MainWindow();
    for (const Page& page : kPages) {
        ClickButton(main, page.buttonId);
        EXPECT_TRUE(WaitUntil([&] { return app.VisiblePage() == page.templateId; })) << page.name;
        if (page.templateId == 152) {
            // The scan page after a scan of the stick.
            PageView scan(app, 152, 1024, 1025);
            scan.Click(1014);
            EXPECT_TRUE(scan.WaitForResultLine("5 threats found"));
        }
        Settle();
        EXPECT_TRUE(SaveScreenshot(std::string("main-") + page.name, main)) << page.name;
    }

    ::PostMessageA(main, WM_SYSCOMMAND, 0x0010, 0);
    HWND about = nullptr;
    EXPECT_TRUE(WaitUntil([&] {
        about = FindTopLevel(app.Pid(), "#32770", "About the program");
        return about && ::IsWindowVisible(about);
    }));
    Settle();
    if (about) {
        EXPECT_TRUE(SaveScreenshot("about", about));
    }
    KillProcessesNamed("Koravant.exe");
}
