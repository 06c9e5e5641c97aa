// The update check against a server of the test's own on 127.0.0.1, and the two roads to the
// updater ("Update" in the update window, "Update Now" in the tray menu), with the program in
// a folder whose path holds a blank.
#include <gtest/gtest.h>

#include <string>

#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestHttpServer.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr char kWebCheckTitle[] = "Koravant Web Check";
constexpr char kReleaseUrl[] = "http://update.brellonix.com/update/update.ini";
constexpr char kQuitToUpdate[] =
    "The program will quit to update.\r\nPlease don't run the program until the update "
    "program quit.";
constexpr UINT kUpdateNowCommand = 32776;
constexpr int kUpdateButton = 1060;
// Long enough for a check that went wrong to have shown its window.
constexpr DWORD kSettleMs = 2000;

std::string Description(const std::string& version, const std::string& change = {}) {
    return "[Koravant]\r\nVERSION=" + version + "\r\n" +
           (change.empty() ? "" : "CHANGE=" + change + "\r\n");
}

LaunchFolder Folder(const char* name, const char* program, bool withUpdater) {
    LaunchFolder folder(name);
    folder.program = program;
    folder.withUpdater = withUpdater;
    return folder;
}

class UpdateTest : public testing::Test {
  protected:
    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        ResetSettingsAnswered();
    }
    void TearDown() override {
        KillProcessesNamed("Koravant.exe");
        ::SetEnvironmentVariableA("KORAVANT_TEST_UPDATE_URL", nullptr);
        ::SetEnvironmentVariableA("KORAVANT_TEST_UPDATE_DELAY_MS", nullptr);
        ResetSettingsAnswered();
    }
    // The next start of the test build checks at once, against `url`.
    static void CheckNowAgainst(const std::string& url) {
        ::RegDeleteKeyValueA(HKEY_LOCAL_MACHINE, kTestSettingsKey, "lastcheck");
        ::SetEnvironmentVariableA("KORAVANT_TEST_UPDATE_URL", url.c_str());
        ::SetEnvironmentVariableA("KORAVANT_TEST_UPDATE_DELAY_MS", "0");
    }
    static HWND UpdateWindow(const KoravantApp& app) {
        return FindTopLevel(app.Pid(), "#32770", kWebCheckTitle);
    }
    static bool WaitForUpdateWindow(const KoravantApp& app) {
        return WaitUntil([&] { return ::IsWindowVisible(UpdateWindow(app)) != FALSE; }, 30000);
    }
};

RECT WindowRect(HWND window) {
    RECT rect = {};
    ::GetWindowRect(window, &rect);
    return rect;
}
}  // namespace

// The window comes up for any other version text, in the corner above the taskbar, and never
// for the own version or a body without the section (a redirect, which is not followed).
TEST_F(UpdateTest, ShowsTheOfferOnlyForAnotherVersion) {
    const std::string longChange(3000, 'c');
    const struct {
        const char* name;
        std::string response;
        std::string stored;
        bool shown;
        std::string version, change;
    } cases[] = {
        {"same version", HttpResponse("200 OK", Description("5.0.0.38", "Nothing")),
         Description("5.0.0.38", "Nothing"), false, "", ""},
        {"older version", HttpResponse("200 OK", Description("5.0.0.37", "Older build")),
         Description("5.0.0.37", "Older build"), true, "5.0.0.37", "Older build"},
        {"written differently", HttpResponse("200 OK", Description("5.0.0.038")),
         Description("5.0.0.038"), true, "5.0.0.038",
         "Click on Download button to launch a Web browser."},
        {"long change", HttpResponse("200 OK", Description("5.1", longChange)),
         Description("5.1", longChange), true, "5.1", longChange.substr(0, 2047)},
        {"redirect", HttpResponse("302 Found", "Moved", "Location: /update/moved/update.ini\r\n"),
         "Moved", false, "", ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TestHttpServer server;
        server.Reply(c.response);
        ASSERT_TRUE(server.Start());
        CheckNowAgainst(server.Url());
        KoravantApp app(Folder("update check", kTestSourceProgram, false));
        ASSERT_TRUE(app.Start());
        std::string description = app.Folder() + "\\update.ini";
        EXPECT_TRUE(WaitUntil([&] { return ReadFileBytes(description) == c.stored; }, 30000));
        if (c.shown) {
            ASSERT_TRUE(WaitForUpdateWindow(app));
            HWND window = UpdateWindow(app);
            EXPECT_EQ(WindowText(::GetDlgItem(window, 1059)), c.version);
            EXPECT_EQ(WindowText(::GetDlgItem(window, 1058)), c.change);
            RECT placed = WindowRect(window);
            EXPECT_EQ(placed.right, WindowRect(::GetDesktopWindow()).right);
            EXPECT_EQ(placed.bottom, WindowRect(::FindWindowA("Shell_TrayWnd", nullptr)).top);
        } else {
            ::Sleep(kSettleMs);
            EXPECT_FALSE(::IsWindowVisible(UpdateWindow(app)));
        }
        EXPECT_EQ(server.RequestedPaths(), std::vector<std::string>{"/update/update.ini"});
        app.Kill();
    }
}

// A server that stalls, refuses or sends 10 MB: the program keeps answering, shows nothing
// and keeps the description it had.
TEST_F(UpdateTest, FailedDownloadsLeaveTheDescriptionAndTheWindowAlone) {
    enum Serve { Stall, Refuse, Huge };
    for (Serve serve : {Stall, Refuse, Huge}) {
        SCOPED_TRACE(serve == Stall ? "stall" : serve == Refuse ? "refuse" : "10 MB");
        TestHttpServer server;
        if (serve == Stall) server.Stall();
        if (serve == Huge) server.SendHuge(10 * 1024 * 1024);
        ASSERT_TRUE(server.Start());
        CheckNowAgainst(serve == Refuse
                            ? "http://127.0.0.1:" + std::to_string(UnusedPort()) + "/update.ini"
                            : server.Url());
        KoravantApp app(Folder("update check", kTestSourceProgram, false));
        std::string description = app.Folder() + "\\update.ini";
        ASSERT_TRUE(WriteFileBytes(description, Description("4.0", "previous")));
        ASSERT_TRUE(app.StartHidden());
        if (serve == Stall) {
            EXPECT_TRUE(server.WaitForRequest());
        }
        if (serve == Huge) {
            EXPECT_TRUE(server.WaitForFinishedConnection());
        }
        ::Sleep(kSettleMs);
        double before = NowMs();
        DWORD_PTR answer = 0;
        EXPECT_TRUE(::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 10000,
                                          &answer));
        std::printf("    the window answered in %.1f ms\n", NowMs() - before);
        EXPECT_FALSE(::IsWindowVisible(UpdateWindow(app)));
        EXPECT_EQ(ReadFileBytes(description), Description("4.0", "previous"));
        for (const std::string& name : ListFolder(app.Folder())) {
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
        }
        app.Kill();
    }
}

// Both roads start the double with the quoted path and three arguments and end the program
// without asking; without the updater they say so and the program goes on. The product sends
// string 222's URL whatever the environment says, the test build the server's.
TEST_F(UpdateTest, BothRoadsStartTheUpdaterOrGoOn) {
    const struct {
        bool fromWindow;
        bool withUpdater;
    } cases[] = {{false, true}, {false, false}, {true, true}, {true, false}};
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string(c.fromWindow ? "Update" : "Update Now") +
                     (c.withUpdater ? ", updater present" : ", updater missing"));
        TestHttpServer server;
        server.Reply(HttpResponse("200 OK", Description("5.0.0.39", "Newer")));
        ASSERT_TRUE(server.Start());
        // The product is offered the seam as well, and must not take it.
        ::SetEnvironmentVariableA("KORAVANT_TEST_UPDATE_URL", server.Url().c_str());
        if (c.fromWindow) CheckNowAgainst(server.Url());
        KoravantApp app(Folder("update roads", c.fromWindow ? kTestSourceProgram : "Koravant.exe",
                               c.withUpdater));
        ASSERT_TRUE(app.StartHidden());
        HWND window = nullptr;
        if (c.fromWindow) {
            ASSERT_TRUE(WaitForUpdateWindow(app));
            window = UpdateWindow(app);
            ClickButton(window, kUpdateButton);
        } else {
            PostCommand(app.MainWindow(), kUpdateNowCommand);
        }
        MessageBoxInfo warning = WaitForMessageBox(app.Pid());
        EXPECT_EQ(warning.text, kQuitToUpdate);
        EXPECT_EQ(warning.buttons, std::vector<int>{IDOK});
        ASSERT_TRUE(AnswerMessageBox(warning, IDOK));
        if (c.withUpdater) {
            std::string url = c.fromWindow ? server.Url() : kReleaseUrl;
            EXPECT_TRUE(app.WaitForExit());
            std::string log = app.Folder() + "\\quorrel.log";
            EXPECT_TRUE(WaitUntil([&] { return !ReadFileBytes(log).empty(); }));
            EXPECT_EQ(ReadFileBytes(log), "\"" + app.Folder() +
                                              "\\Quorrel.exe\" Koravant 5.0.0.38 " + url +
                                              "\r\nKoravant\r\n5.0.0.38\r\n" + url + "\r\n");
        } else {
            MessageBoxInfo missing = WaitForMessageBox(app.Pid());
            EXPECT_EQ(missing.text, "Update program not found!");
            EXPECT_EQ(missing.buttons, std::vector<int>{IDOK});
            ASSERT_TRUE(AnswerMessageBox(missing, IDOK));
            ::Sleep(kSettleMs);
            EXPECT_TRUE(app.IsRunning());
            EXPECT_FALSE(AnyMessageBox(app.Pid()));
            if (window) {
                EXPECT_FALSE(::IsWindowVisible(window));
            }
        }
        app.Kill();
    }
}
