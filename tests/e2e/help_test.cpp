// The help file: the build puts a complete Koravant.chm beside the program, and F1 opens it
// in the help viewer instead of saying "Document not found".
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

#include "tests/support/KoravantApp.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
// The title the help project gives its viewer window.
constexpr char kHelpTitle[] = "Brellonix Help";

const char* const kHelpPages[] = {
    "/index.htm",     "/information.htm", "/plugwatch.htm",         "/plugsweep.htm",
    "/taskwatch.htm", "/quarantine.htm",  "/plugkit.htm",           "/repairsystem.htm",
    "/autostart.htm", "/tray.htm",        "/quarantine-format.htm",
};

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class HelpTest : public testing::Test {
  protected:
    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        KillProcessesNamed("hh.exe");
        ResetSettingsAnswered();
    }
    void TearDown() override {
        KillProcessesNamed("hh.exe");
        KillProcessesNamed("Koravant.exe");
    }
};
}  // namespace

TEST_F(HelpTest, TheBuildPlacesACompleteHelpFileBesideTheProgram) {
    std::string chm = ReadFile(BuildFolder() + "\\Koravant.chm");
    ASSERT_GE(chm.size(), 4u) << "Koravant.chm is missing beside the program";
    EXPECT_EQ(chm.substr(0, 4), "ITSF") << "not a compiled help file";
    for (const char* page : kHelpPages)
        EXPECT_NE(chm.find(page), std::string::npos) << "the help file lacks " << page;
}

TEST_F(HelpTest, F1OpensTheHelpFileInTheViewer) {
    KoravantApp app{LaunchFolder("help", "Koravant.exe", /*withHelpFile=*/true)};
    ASSERT_TRUE(app.StartHidden());
    ASSERT_TRUE(app.BringForward());
    PressKey(app.MainWindow(), VK_F1);

    HWND viewer = nullptr;
    EXPECT_TRUE(WaitUntil(
        [&] {
            viewer = ::FindWindowA(nullptr, kHelpTitle);
            return viewer && ::IsWindowVisible(viewer);
        },
        20000))
        << "no help viewer came up";
    // A failed open would show its message right away; give it a moment to be sure.
    ::Sleep(500);
    MessageBoxInfo box = WaitForMessageBox(app.Pid(), 200);
    EXPECT_EQ(box.window, nullptr) << "the program said: " << box.text;
    if (viewer) SaveScreenshot("help-viewer", viewer);
    EXPECT_TRUE(app.IsRunning());
}
