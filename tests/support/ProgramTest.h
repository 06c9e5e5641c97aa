#pragma once
// A test that drives one copy of the program from its own folder: no program left running
// before or after, the first-run question already answered, no quarantine left behind.
#include <gtest/gtest.h>

#include "tests/support/KoravantApp.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"

class ProgramTest : public testing::Test {
  protected:
    explicit ProgramTest(const char* folder) : app{LaunchFolder(folder)} {}

    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        ResetSettingsAnswered();
        DeleteTree(app.Folder() + "\\quarantine");
    }
    void TearDown() override { KillProcessesNamed("Koravant.exe"); }

    HWND Main() const { return app.MainWindow(); }
    // The bytes of a file in the program's quarantine folder; "" when there is none.
    std::string QuarantineFile(const std::string& name) const {
        return ReadFileBytes(app.Folder() + "\\quarantine\\" + name);
    }

    KoravantApp app;
};
