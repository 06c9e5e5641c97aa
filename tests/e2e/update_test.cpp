// The update check against a server of the test's own on 127.0.0.1, and the two roads to the
// updater ("Update" in the update window, "Update Now" in the tray menu).
#include "tests/support/ProgramTest.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/Wait.h"

namespace {
const char kUnspellable[] = "Ελληνικά φάκελος";  // not in the ANSI code page

std::string Description(const std::string& version, const std::string& change = {}) {
    return "[Koravant]\r\nVERSION=" + version + "\r\n" +
           (change.empty() ? "" : "CHANGE=" + change + "\r\n");
}

class UpdateTest : public testing::Test {
  protected:
    void SetUp() override { TearDown(); }
    void TearDown() override {
        KillProcessesNamed("Koravant.exe");
        KillProcessesNamed("Quorrel.exe");
        ResetSettingsAnswered();
    }
    // The program asks `server`; the next start of the test build at once when `now`.
    static void Serve(KoravantApp& app, const TestHttpServer& server, bool now = true) {
        app.SetEnvironment("KORAVANT_TEST_UPDATE_URL", server.Url());
        if (!now) return;
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kTestSettingsKey, "lastcheck");
        app.SetEnvironment("KORAVANT_TEST_UPDATE_DELAY_MS", "0");
    }
    // Answers the program's next message box with OK: its text.
    static std::string Answer(const KoravantApp& app) {
        MessageBoxInfo box = WaitForMessageBox(app.Pid());
        return AnswerMessageBox(box, IDOK) ? box.text : "";
    }
};
}  // namespace

// The window comes up for any other version text, in the corner above the taskbar, and never
// for the own version or a redirect (stored, not followed). A body cut short, a server that
// stalls, refuses or sends 10 MB leave the previous description and no temporary file; the
// program keeps answering throughout.
TEST_F(UpdateTest, ShowsTheOfferOnlyForAnotherVersionAndSurvivesBadServers) {
    using enum TestHttpServer::Mode;
    const std::string previous = Description("4.0", "previous"), longChange(3000, 'c');
    const std::string same = Description("5.0.0.38", "Same"), odd = Description("5.0.0.038"),
                      longer = Description("5.1", longChange);
    auto ok = [](const std::string& body) { return HttpResponse("200 OK", body); };
    const struct {
        const char* name;
        TestHttpServer::Mode serve;
        std::string response, stored, version = {}, change = {};  // shown, if any
    } cases[] = {
        {"same version", Reply, ok(same), same},
        {"written differently", Reply, ok(odd), odd, "5.0.0.038",
         "Click on Download button to launch a Web browser."},
        {"long change", Reply, ok(longer), longer, "5.1", longChange.substr(0, 2047)},
        {"redirect", Reply, HttpResponse("302 Found", "Moved", "Location: /update/moved.ini\r\n"),
         "Moved"},
        {"cut short", Reply, "HTTP/1.1 200 OK\r\nContent-Length: 1000\r\n\r\n" + odd, previous},
        {"stall", Stall, "", previous},
        {"refuse", Refuse, "", previous},
        {"10 MB", Huge, "", previous},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server;
        ASSERT_TRUE(server.Start(c.response, c.serve));
        KoravantApp app({"update check", kTestSourceProgram});
        Serve(app, server);
        std::string description = app.Folder() + "\\update.ini";
        ASSERT_TRUE(WriteFileBytes(description, previous) && app.StartHidden());
        EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(description) == c.stored; }, 30000));
        EXPECT_TRUE(c.serve == Refuse || server.WaitForConnection());
        if (!c.version.empty()) {
            HWND window = WaitForWindow(app.Pid(), "Koravant Web Check", "#32770", 30000);
            RECT rect = {}, taskbar = {};  // along the screen's bottom
            ::GetWindowRect(window, &rect);
            ::GetWindowRect(::FindWindowA("Shell_TrayWnd", nullptr), &taskbar);
            EXPECT_EQ(WindowText(::GetDlgItem(window, 1059)), c.version);
            EXPECT_EQ(WindowText(::GetDlgItem(window, 1058)), c.change);
            EXPECT_TRUE(rect.right == taskbar.right && rect.bottom == taskbar.top);
        } else {
            ::Sleep(2000);  // long enough for a check that went wrong to have shown its window
            EXPECT_FALSE(
                ::IsWindowVisible(FindTopLevel(app.Pid(), "#32770", "Koravant Web Check")));
        }
        EXPECT_TRUE(app.Answers());
        EXPECT_EQ(ReadFileBytes(description), c.stored);
        for (const std::string& name : ListFolder(app.Folder()))
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        EXPECT_EQ(server.RequestedPaths(),
                  c.serve == Refuse ? Strings() : Strings{"/update/update.ini"});
    }
}

// Both roads, from a folder whose name the ANSI code page cannot spell, start the double by its
// real, quoted path with three arguments and end the program without asking; without the
// updater they say so and the program goes on. The product sends string 222's URL whatever the
// environment says, the test build the server's.
TEST_F(UpdateTest, BothRoadsStartTheUpdaterOrGoOn) {
    for (int road = 0; road < 4; ++road) {
        SCOPED_TRACE(road);  // "Update Now" then "Update"; with the updater, then without
        const bool fromWindow = road >= 2, withUpdater = road % 2 == 0;
        TestHttpServer server;
        ASSERT_TRUE(server.Start(HttpResponse("200 OK", Description("5.0.0.39", "Newer"))));
        KoravantApp app({.name = kUnspellable,
                         .program = fromWindow ? kTestSourceProgram : "Koravant.exe",
                         .withUpdater = withUpdater});
        // The product is offered the seam as well, and must not take it.
        Serve(app, server, fromWindow);
        ASSERT_TRUE(app.StartHidden());
        HWND window =
            fromWindow ? WaitForWindow(app.Pid(), "Koravant Web Check", "#32770", 30000) : nullptr;
        if (fromWindow)
            ClickButton(window, 1060);
        else
            PostCommand(app.MainWindow(), 32776);  // the tray's "Update Now"
        EXPECT_TRUE(Answer(app).starts_with("The program will quit to update."));
        if (withUpdater) {
            std::string url =
                fromWindow ? server.Url() : "http://update.brellonix.com/update/update.ini";
            std::string log = app.Folder() + "\\quorrel.log";
            EXPECT_TRUE(app.WaitForExit() &&
                        WaitUntil([&] { return !ReadFileBytes(log).empty(); }));
            EXPECT_EQ(ReadFileBytes(log), "\"" + app.Folder() +
                                              "\\Quorrel.exe\" Koravant 5.0.0.38 " + url +
                                              "\r\nKoravant\r\n5.0.0.38\r\n" + url + "\r\n");
            // Until it has ended it holds its file, which the next road must delete.
            KillProcessesNamed("Quorrel.exe");
        } else {
            EXPECT_EQ(Answer(app), "Update program not found!");
            EXPECT_TRUE(app.WaitForPostedMessages() && app.IsRunning() &&
                        !AnyMessageBox(app.Pid()) && !(window && ::IsWindowVisible(window)));
        }
    }
}

// From such a folder the update check writes update.ini there and F1 opens the help file beside
// it. The skin library loads, but is not given a skin path it could only read with '?' in it.
TEST_F(UpdateTest, FindsItsFilesInAFolderTheCodePageCannotSpell) {
    const std::string description = Description("5.0.0.38");  // the own version: no offer
    TestHttpServer server;
    ASSERT_TRUE(server.Start(HttpResponse("200 OK", description)));
    KoravantApp app({.name = kUnspellable,
                     .program = kTestSourceProgram,
                     .skinLibrary = "SkinLoad.dll",
                     .withHelpFile = true});
    Serve(app, server);
    ASSERT_TRUE(app.StartHidden());
    EXPECT_TRUE(WaitUntil(
        [&] { return ReadFileBytes(app.Folder() + "\\update.ini") == description; }, 30000));

    // Wine's help viewer takes its file as ANSI text: a recorder stands in for it.
    const std::string handler = BuildFolder() + "\\runs\\chm handler\\Quorrel.exe";
    const std::string helpLog = BuildFolder() + "\\runs\\chm handler\\quorrel.log";
    const char* command = "chm.file\\shell\\open\\command";
    ::DeleteFileA(helpLog.c_str());
    auto saved = ReadRegistryValue(HKEY_CLASSES_ROOT, command, nullptr);
    ASSERT_TRUE(
        saved && CopyProgram(BuildFolder() + "\\testbin\\Quorrel.exe", handler) &&
        WriteRegistryString(HKEY_CLASSES_ROOT, command, nullptr, "\"" + handler + "\" \"%1\""));
    EXPECT_TRUE(app.BringForward());
    PressKey(app.MainWindow(), VK_F1);
    EXPECT_TRUE(WaitUntil([&] { return !ReadFileBytes(helpLog).empty(); }, 30000));
    WriteRegistryString(HKEY_CLASSES_ROOT, command, nullptr, saved->data.c_str());
    EXPECT_NE(ReadFileBytes(helpLog).find("\r\n" + app.Folder() + "\\Koravant.chm\r\n"),
              std::string::npos);
    EXPECT_TRUE(app.Answers() && !AnyMessageBox(app.Pid()));  // no "Document not found"

    PostCommand(app.MainWindow(), 1062);  // Quit
    ASSERT_TRUE(app.WaitForExit());
    std::string skin = ReadFileBytes(app.Folder() + "\\skinload.log");
    EXPECT_TRUE(skin.starts_with("InitSkinLoad ") &&
                skin.ends_with("\r\nExitSkin\r\nUnloaded\r\n") &&
                skin.find("LoadSkin ") == std::string::npos)
        << skin;
}
