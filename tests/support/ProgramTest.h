#pragma once
// A test that drives one copy of the program from its own folder: no program left running
// before or after, the first-run question already answered, no quarantine left behind.
#include <gtest/gtest.h>

#include "tests/support/PageView.h"  // the program, its windows and pages

using Strings = std::vector<std::string>;

inline Strings Sorted(Strings strings) {
    std::sort(strings.begin(), strings.end());
    return strings;
}

// Files on `drive` with no content, all with `attributes`.
inline bool WriteFiles(TestDrive& drive, std::initializer_list<const char*> names,
                       DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    auto failed = [&](const char* name) { return !drive.WriteFile(name, "", attributes); };
    return std::ranges::count_if(names, failed) == 0;
}

class ProgramTest : public testing::Test {
  protected:
    explicit ProgramTest(const char* folder, const char* program = "Koravant.exe")
        : app{{folder, program}} {}

    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        ResetSettingsAnswered();
        DeleteTree(QuarantineFolder());
    }
    void TearDown() override { KillProcessesNamed("Koravant.exe"); }

    HWND Main() const { return app.MainWindow(); }
    std::string QuarantineFolder() const { return app.Folder() + "\\quarantine"; }
    std::string QuarantineFile(const std::string& name) const {
        return QuarantineFolder() + "\\" + name;
    }
    // Answers the program's next message box with `button`: the box's text, or "" when no box
    // came or it does not show that button.
    std::string Answer(int button = IDOK) const {
        MessageBoxInfo box = WaitForMessageBox(app.Pid());
        bool shown = std::count(box.buttons.begin(), box.buttons.end(), button) > 0;
        return AnswerMessageBox(box, button) && shown ? box.text : "";
    }
    // Presses `button` of `page` and answers the message box it brings up.
    std::string ClickAndAnswer(const PageView& page, int button, int answer = IDOK) const {
        page.Click(button);
        return Answer(answer);
    }

    KoravantApp app;
};
