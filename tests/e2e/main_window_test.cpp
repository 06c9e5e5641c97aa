// The main window: hidden start, page switching, hide on close, quitting, help, About and
// the uninstall watcher.
#include <gtest/gtest.h>

#include "tests/support/KoravantApp.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
struct PageButton {
    int buttonId;
    UINT templateId;
};
const PageButton kPageButtons[] = {{1000, 129}, {1001, 153}, {1006, 152}, {1008, 155},
                                   {1010, 150}, {1009, 159}, {1007, 154}, {1011, 151}};

class MainWindowTest : public testing::Test {
  protected:
    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        ResetSettingsAnswered();
        ASSERT_TRUE(app.StartHidden());
    }
    void TearDown() override { KillProcessesNamed("Koravant.exe"); }

    HWND Main() const { return app.MainWindow(); }

    KoravantApp app{{"main-window"}};
};

HWND CreateWindowTitled(const char* title) {
    return ::CreateWindowExA(0, "STATIC", title, WS_OVERLAPPED, 0, 0, 100, 50, nullptr, nullptr,
                             ::GetModuleHandleA(nullptr), nullptr);
}
}  // namespace

TEST_F(MainWindowTest, StartsHiddenOnTheInformationPageAtItsSize) {
    EXPECT_FALSE(::IsWindowVisible(Main()));
    EXPECT_EQ(app.VisiblePage(), 129u);
    RECT rect;
    ::GetWindowRect(Main(), &rect);
    EXPECT_EQ(rect.right - rect.left, 755);
    EXPECT_EQ(rect.bottom - rect.top, 550);
    RECT page;
    ::GetWindowRect(app.Page(129), &page);
    POINT origin = {page.left, page.top};
    ::ScreenToClient(Main(), &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 90);
    EXPECT_EQ(page.right - page.left, 750);
    EXPECT_EQ(page.bottom - page.top, 450);
}

TEST_F(MainWindowTest, PageButtonsShowTheirPagesAndTwiceIsHarmless) {
    ASSERT_TRUE(app.BringForward());
    for (const PageButton& button : kPageButtons) {
        for (int click = 0; click < 2; ++click) {
            ClickButton(Main(), button.buttonId);
            EXPECT_TRUE(WaitUntil([&] { return app.VisiblePage() == button.templateId; }))
                << "button " << button.buttonId;
        }
    }
    ClickButton(Main(), 1001);
    ASSERT_TRUE(WaitUntil([&] { return app.VisiblePage() == 153; }));
    SaveScreenshot("main-window", Main());
}

TEST_F(MainWindowTest, CloseBoxHidesAndTheProgramLivesOn) {
    ASSERT_TRUE(app.BringForward());
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_TRUE(app.WaitUntilHidden());
    ::Sleep(300);
    EXPECT_TRUE(app.IsRunning());
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
}

TEST_F(MainWindowTest, EscapeAsksBeforeQuitting) {
    ASSERT_TRUE(app.BringForward());
    PressKey(Main(), VK_ESCAPE);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    ASSERT_EQ(box.text, "Do you want to quit?");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    ASSERT_TRUE(AnswerMessageBox(box, IDCANCEL));
    ::Sleep(300);
    EXPECT_TRUE(app.IsRunning());
    EXPECT_TRUE(::IsWindowVisible(Main()));

    PressKey(Main(), VK_ESCAPE);
    box = WaitForMessageBox(app.Pid());
    ASSERT_EQ(box.text, "Do you want to quit?");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(app.WaitForExit());
}

TEST_F(MainWindowTest, HelpWithoutTheHelpFileSaysSo) {
    ASSERT_TRUE(app.BringForward());
    PressKey(Main(), VK_F1);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Document not found");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));
    AnswerMessageBox(box, IDOK);
}

TEST_F(MainWindowTest, SystemCommandOpensTheAboutDialog) {
    ASSERT_TRUE(app.BringForward());
    ::PostMessageA(Main(), WM_SYSCOMMAND, 0x0010, 0);
    HWND about = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        about = FindTopLevel(app.Pid(), "#32770", "About the program");
        return about && ::IsWindowVisible(about);
    }));
    SaveScreenshot("about", about);
    ClickButton(about, IDOK);
    EXPECT_TRUE(WaitUntil([&] { return !::IsWindow(about); }));
    EXPECT_TRUE(app.IsRunning());
}

TEST_F(MainWindowTest, UninstallerWindowEndsTheProgram) {
    HWND uninstaller = CreateWindowTitled("Brellonix Uninstall");
    ASSERT_NE(uninstaller, nullptr);
    double shown = NowMs();
    MessageBoxInfo box = WaitForMessageBox(app.Pid(), 5000);
    double noticed = NowMs() - shown;
    ::DestroyWindow(uninstaller);
    ASSERT_EQ(box.text, "The Brellonix will quit!");
    EXPECT_LT(noticed, 1500.0);
    RecordProperty("uninstall_notice_ms", std::to_string(static_cast<int>(noticed)));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(app.WaitForExit());
}

TEST_F(MainWindowTest, WindowsWithSimilarTitlesAreNotTheUninstaller) {
    HWND lower = CreateWindowTitled("brellonix uninstall");
    HWND longer = CreateWindowTitled("Brellonix Uninstall Helper");
    ::Sleep(800);
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(app.IsRunning());
    ::DestroyWindow(lower);
    ::DestroyWindow(longer);
}
