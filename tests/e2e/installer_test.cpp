// The setup program and its uninstaller under Wine.
#include <gtest/gtest.h>
#include <shlobj.h>

#include "tests/support/Installation.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr DWORD kUninstallTimeoutMs = 120000;
const Strings kInstalledFiles = {"Koravant.chm", "Koravant.exe", "LogonTask.xml", "Uninstall.exe"};

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// Ended by itself, not by force.
bool Quit(const StartedProcess& program) {
    DWORD code = STILL_ACTIVE;
    return program.Ended(0) && ::GetExitCodeProcess(program.process.get(), &code) && code == 0;
}

class InstallerTest : public testing::Test {
  protected:
    void SetUp() override {
        if (SetupPath().empty()) GTEST_SKIP() << "built without makensis: no setup program";
        if (sizeof(void*) == 8) GTEST_SKIP() << "the setup program is 32-bit";
        TearDown();
        RunSetup();
        folder = InstalledFolder();
        ASSERT_FALSE(folder.empty());
    }
    void TearDown() override {
        KillProcessesNamed("Koravant.exe");
        KillProcessesNamed("hh.exe");
        if (std::string installed = InstalledFolder(); !installed.empty())
            StartUninstaller("\"" + installed + "\\Uninstall.exe\" /S /REMOVEDATA")
                .Ended(kUninstallTimeoutMs);
        DeleteTree(SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Brellonix");
        ResetSettingsAnswered();
    }
    static void RunSetup() { ASSERT_EQ(RunToEnd("\"" + SetupPath() + "\" /S"), 0u); }
    std::string Installed(const std::string& name) const { return folder + "\\" + name; }
    std::string Shortcut() const {
        return SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Brellonix.lnk";
    }
    // Starts the installed program as its logon task does; `main` is set once it has hidden.
    StartedProcess StartFromLogonTask() {
        std::string definition = Installed("LogonTask.xml");
        StartedProcess program = StartProcess("\"" + XmlElement(definition, "Command") + "\"",
                                              XmlElement(definition, "WorkingDirectory"));
        main = nullptr;
        WaitUntil([&] {
            main = FindTopLevel(program.pid, "#32770", kMainWindowTitle);
            return main && !::IsWindowVisible(main);
        });
        return program;
    }
    // Everything the setup put down is gone (the folder itself may stay for kept data).
    void ExpectProgramRemoved() const {
        for (const std::string& name : kInstalledFiles)
            EXPECT_FALSE(Exists(Installed(name))) << name;
        EXPECT_FALSE(Exists(Installed("update.ini")) || Exists(Shortcut()));
        EXPECT_FALSE(RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_FALSE(ScheduledTaskExists(kProductName));
    }

    std::string folder;
    HWND main = nullptr;
};
}  // namespace

// A silent install, the program started as at logon finds its help; setup again and a silent
// uninstall end it without a window, keeping the quarantine and settings unless told otherwise;
// the uninstaller's window ends it before anything is removed.
TEST_F(InstallerTest, InstallLogonStartHelpAndEveryUninstallEndTheProgramFirst) {
    EXPECT_EQ(folder, SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Brellonix");
    EXPECT_EQ(Sorted(ListFolder(folder)), kInstalledFiles);
    EXPECT_EQ(ReadFileBytes(Installed("Koravant.exe")),
              ReadFileBytes(BuildFolder() + "\\Koravant.exe"));
    EXPECT_EQ(ShortcutTarget(Shortcut()), Installed("Koravant.exe"));
    const std::pair<const char*, std::string> entry[] = {
        {"DisplayName", "Brellonix"},
        {"DisplayVersion", "5.0.0.38"},
        {"DisplayIcon", Installed("Koravant.exe") + ",0"},
        {"UninstallString", "\"" + Installed("Uninstall.exe") + "\""},
        {"QuietUninstallString", "\"" + Installed("Uninstall.exe") + "\" /S"}};
    for (const auto& [name, expected] : entry) EXPECT_EQ(UninstallEntry(name), expected) << name;
    // Wine's Task Scheduler keeps the task's name but drops its trigger and action: those
    // are read from the definition the setup registered.
    EXPECT_TRUE(ScheduledTaskExists(kProductName));
    std::string definition = Installed("LogonTask.xml");
    EXPECT_EQ(XmlElement(definition, "Command"), Installed("Koravant.exe"));
    EXPECT_EQ(XmlElement(definition, "WorkingDirectory"), folder);
    EXPECT_EQ(XmlElement(definition, "RunLevel"), "HighestAvailable");
    EXPECT_EQ(XmlElement(definition, "ExecutionTimeLimit"), "PT0S");
    EXPECT_NE(XmlElement(definition, "LogonTrigger"), "");
    // Windows starts no program that asks for administrator rights from a Run value.
    EXPECT_FALSE(ReadRegistryValue(
        HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", kProductName));

    StartedProcess running = StartFromLogonTask();
    ASSERT_TRUE(main);
    PressKey(main, VK_F1);
    EXPECT_TRUE(WaitUntil(
        [] { return ::IsWindowVisible(::FindWindowA(nullptr, "Brellonix Help")); }, 20000));
    KillProcessesNamed("hh.exe");  // it holds the help file
    RunSetup();
    EXPECT_TRUE(Quit(running));
    EXPECT_TRUE(ScheduledTaskExists(kProductName));

    for (bool removeData : {false, true}) {
        SCOPED_TRACE(removeData ? "/REMOVEDATA" : "keeping the data");
        if (removeData) RunSetup();
        ResetSettingsAnswered();
        std::string quarantined = Installed("quarantine\\autorun.inf.kv");
        ASSERT_TRUE(CreateFolders(Installed("quarantine")) &&
                    WriteFileBytes(quarantined, EncodeQuarantineFile("F:\\autorun.inf", "[x]")) &&
                    WriteFileBytes(Installed("update.ini"), "[update]\r\n"));
        StartedProcess quiet = StartFromLogonTask();
        ASSERT_TRUE(main);
        std::string command = UninstallEntry("QuietUninstallString");
        StartedProcess uninstaller = StartUninstaller(command + (removeData ? " /REMOVEDATA" : ""));
        ASSERT_TRUE(uninstaller.Ended(kUninstallTimeoutMs) && uninstaller.process);
        EXPECT_TRUE(Quit(quiet));
        ExpectProgramRemoved();
        EXPECT_EQ(Exists(quarantined), !removeData);
        EXPECT_EQ(Exists(folder), !removeData);
        EXPECT_EQ(RegistryKeyExists(HKEY_LOCAL_MACHINE, kTestSettingsKey), !removeData);
    }

    // The uninstaller's window: the program says it will quit and ends; the uninstaller waits
    // for that before it removes a file, then asks before it removes the program's data.
    RunSetup();
    ResetSettingsAnswered();
    StartedProcess program = StartFromLogonTask();
    ASSERT_TRUE(main);
    StartedProcess uninstaller = StartUninstaller("\"" + Installed("Uninstall.exe") + "\"");
    HWND wizard = WaitForWizard(uninstaller.pid, kUninstallerTitle);
    ASSERT_TRUE(wizard);
    MessageBoxInfo notice = WaitForMessageBox(program.pid);
    EXPECT_EQ(notice.text, "The Brellonix will quit!");
    ClickButton(wizard, kWizardNext);
    EXPECT_TRUE(
        WaitUntil([&] { return WizardStatus(wizard) == "Waiting for Brellonix to quit..."; }));
    EXPECT_FALSE(program.Ended(0));
    for (const std::string& name : kInstalledFiles) EXPECT_TRUE(Exists(Installed(name))) << name;
    EXPECT_TRUE(Exists(Shortcut()));

    AnswerMessageBox(notice, IDOK);
    EXPECT_TRUE(program.Ended(10000));
    MessageBoxInfo question = WaitForMessageBox(uninstaller.pid, 30000);
    EXPECT_TRUE(question.text.starts_with("Also remove Brellonix's own data")) << question.text;
    AnswerMessageBox(question, IDYES);
    EXPECT_TRUE(
        WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(wizard, kWizardNext)); }, 30000));
    ClickButton(wizard, kWizardNext);
    ASSERT_TRUE(uninstaller.Ended(kUninstallTimeoutMs));
    ExpectProgramRemoved();
    EXPECT_FALSE(Exists(folder) || RegistryKeyExists(HKEY_LOCAL_MACHINE, kTestSettingsKey));
}
