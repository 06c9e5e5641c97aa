// Pictures for docs/screenshots: the start-up alert, the notification area, every page (the
// repair page after a repair), the About box, the update window, the setup's first page and the
// uninstaller. Disabled in ordinary runs: scripts/screenshots runs it and makes the PNGs. What
// the pictures show is checked by the other tests.
#include "tests/support/ProgramTest.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/Wait.h"

namespace {
// Lets the windows finish painting first.
bool Snap(const std::string& name, HWND window = nullptr) {
    ::Sleep(400);
    return SaveScreenshot(name, window);
}
}  // namespace

TEST(Screenshots, DISABLED_TakeThePicturesOfTheDocumentation) {
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app{{.name = "screenshots", .withHelpFile = true}};
    // Files deleted earlier, one in a script the code page cannot spell.
    const std::string quarantine = app.Folder() + "\\quarantine";
    DeleteTree(quarantine);
    ASSERT_TRUE(CreateFolders(quarantine));
    for (std::string origin :
         {"F:\\autorun.inf", "F:\\games\\tools.scr", "F:\\Έγγραφα\\Φωτογραφίες.scr"})
        WriteFileBytes(quarantine + origin.substr(origin.rfind('\\')) + ".kv",
                       EncodeQuarantineFile(origin, "MZ"));
    // What a machine starts at logon, in both registry views.
    const std::string run = "Software\\Microsoft\\Windows\\CurrentVersion\\Run";
    PlantedValues autostart;
    autostart.AddString(HKEY_LOCAL_MACHINE, run, kView64, L"AudioTray",
                        L"C:\\Program Files\\Realtek\\Audio\\RtkTray.exe /tray");
    autostart.AddString(HKEY_LOCAL_MACHINE, run, kView32, L"UpdateHelper",
                        L"\"C:\\Program Files (x86)\\Updater\\update.exe\" /silent");
    autostart.AddString(HKEY_CURRENT_USER, run, kView64, L"svchost",
                        L"C:\\Users\\Public\\Libraries\\svchost.exe -k run");
    autostart.AddString(HKEY_CURRENT_USER, run + "Once", kView64, L"CleanUp",
                        L"cmd.exe /c del C:\\Temp\\setup.log");
    // A stick as users meet them: AutoRun files and hidden programs beside their own files.
    TestDrive stick('E', DriveKind::Removable);
    for (const char* hidden : {"autorun.inf", "Holiday photos.lnk", "setup.exe", "Фотографии.exe",
                               "RECYCLER\\svchost.exe"})
        stick.WriteFile(hidden, "MZ", FILE_ATTRIBUTE_HIDDEN);
    WriteFiles(stick,
               {"Holiday photos\\beach.jpg", "Documents\\report.doc", "Documents\\report.doc.vbs"});
    // A hidden program running from a temporary folder under a system program's name: the
    // process shield lists it beside the unversioned system programs Wine runs.
    const std::string hiddenProgram = "C:\\users\\Public\\Temp\\svchost.exe";
    ASSERT_TRUE(CopyProgram(IdleProgramPath(false), hiddenProgram));
    ::SetFileAttributesA(hiddenProgram.c_str(), FILE_ATTRIBUTE_HIDDEN);
    RunningProgram risky(hiddenProgram);
    ASSERT_TRUE(app.Start());

    HWND alert = WaitForWindow(app.Pid(), "Brellonix");
    ASSERT_TRUE(Snap("alert", alert));
    // The alert hides itself after three seconds; the picture of the taskbar waits for it.
    WaitUntil([&] { return !::IsWindowVisible(alert); }, 6000);
    Snap("taskbar", ::FindWindowA("Shell_TrayWnd", nullptr));
    // The process shield's first pass, five seconds after start, brings the window forward on
    // its page: that happens before the walk through the pages.
    ASSERT_TRUE(app.BringForward());
    WaitUntil([&] { return PageView(app, 150, 1033).RowCount() > 0; }, 20000);
    const char* names[] = {"information", "plugwatch", "plugsweep",    "plugkit",
                           "taskwatch",   "autostart", "repairsystem", "quarantine"};
    for (size_t i = 0; i < std::size(kPageButtons); ++i) {
        const int button = kPageButtons[i].first;
        ClickButton(app.MainWindow(), button);
        app.WaitForPostedMessages();
        if (button == 1006) {  // after a scan of the stick
            PageView(app, 152, 1024, 1025).Click(1014);
            PageView(app, 152, 1024, 1025).WaitForResultLine("6 threats found");
        } else if (button == 1007) {  // after a registry repair
            PageView(app, 154, 1036).Click(1002);
            AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK);
            WaitUntil([&] { return PageView(app, 154, 1036).RowCount() == 31; });
        } else if (button == 1009) {
            PageView(app, 159, 1034).Select(2);
        }
        EXPECT_TRUE(Snap(std::string("main-") + names[i], app.MainWindow())) << names[i];
    }
    ::PostMessageA(app.MainWindow(), WM_SYSCOMMAND, 0x0010, 0);
    Snap("about", WaitForWindow(app.Pid(), "About the program"));
    app.Kill();
    risky.Kill();
    ::DeleteFileA(hiddenProgram.c_str());

    // The update window in its corner above the taskbar, offered by a server of the test's own;
    // scripts/screenshots crops the screen's bottom-right corner.
    ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kTestSettingsKey, "lastcheck");
    TestHttpServer server;
    ASSERT_TRUE(server.Start(HttpResponse("200 OK",
                                          "[Koravant]\r\nVERSION=5.1.0.2\r\nCHANGE=Brellonix 5.1 "
                                          "finds shortcut worms on USB drives and starts twice "
                                          "as fast.\r\n")));
    KoravantApp offered({"screenshots-update", kTestSourceProgram});
    offered.SetEnvironment("KORAVANT_TEST_UPDATE_URL", server.Url());
    // After the start-up notice, which takes the same corner for three seconds.
    offered.SetEnvironment("KORAVANT_TEST_UPDATE_DELAY_MS", "7000");
    ASSERT_TRUE(offered.Start());
    HWND window = WaitForWindow(offered.Pid(), "Koravant Web Check");
    // Under Wine the process shield's first pass brings the main window forward about then
    // (Wine's own services carry no version information): the corner is the update window's.
    ::PostMessageA(offered.MainWindow(), WM_SYSCOMMAND, SC_CLOSE, 0);
    offered.WaitUntilHidden();
    ::SetForegroundWindow(window);
    EXPECT_TRUE(Snap("update"));
    offered.Kill();

    // The setup's first page and the uninstaller's.
    if (SetupPath().empty()) GTEST_SKIP() << "built without makensis: no setup program";
    RunningProgram setup(SetupPath());
    HWND wizard = WaitForWindow(setup.Pid(), "");
    EXPECT_TRUE(Snap("setup", wizard));
    ClickButton(wizard, kWizardCancel);
    AnswerMessageBox(WaitForMessageBox(setup.Pid()), IDYES);
    ASSERT_TRUE(setup.WaitForExit() && RunToEnd(SetupPath(), "/S") == 0);
    RunningProgram uninstaller = StartUninstaller();
    HWND uninstall = WaitForWindow(uninstaller.Pid(), kUninstallerTitle);
    EXPECT_TRUE(Snap("uninstall", uninstall));
    ClickButton(uninstall, kWizardCancel);
    uninstaller.WaitForExit();
    StartUninstaller("/S /REMOVEDATA").WaitForExit(120000);
}
