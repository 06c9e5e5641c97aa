// The setup program and its uninstaller under Wine.
#include <shlobj.h>

#include "framework/Text.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr DWORD kUninstallTimeoutMs = 120000;
const Strings kInstalledFiles = {"Koravant.chm", "Koravant.exe", "LogonTask.xml", "Uninstall.exe"};
constexpr char kProductName[] = "Brellonix";

std::string SpecialFolder(int csidl) {
    char path[MAX_PATH] = {};
    return SUCCEEDED(::SHGetFolderPathA(nullptr, csidl, nullptr, 0, path)) ? path : "";
}

// The Task Scheduler keeps each task in a file of the 64-bit system folder.
bool ScheduledTaskExists(const std::string& name) {
    return PathExists(SpecialFolder(CSIDL_WINDOWS) + "\\sysnative\\tasks\\" + name);
}

// The text of the first <tag> element of an XML file stored as UTF-16 ("" when missing).
std::string XmlElement(const std::string& xmlFile, const std::string& tag) {
    std::string bytes = ReadFileBytes(xmlFile);
    if (bytes.compare(0, 2, "\xFF\xFE") != 0) return "";
    std::string text = WideToUtf8(
        std::wstring(reinterpret_cast<const wchar_t*>(bytes.data() + 2), (bytes.size() - 2) / 2));
    size_t start = text.find("<" + tag + ">"), end = text.find("</" + tag + ">");
    if (start == std::string::npos || end == std::string::npos || end < start) return "";
    start += tag.size() + 2;
    return text.substr(start, end - start);
}

class InstallerTest : public testing::Test {
  protected:
    void SetUp() override {
        if (SetupPath().empty()) GTEST_SKIP() << "built without makensis: no setup program";
        if (sizeof(void*) == 8) GTEST_SKIP() << "the setup program is 32-bit";
        TearDown();
        RunSetup();
        ASSERT_FALSE((folder = InstalledFolder()).empty());
    }
    void TearDown() override {
        KillProcessesNamed("Koravant.exe");
        KillProcessesNamed("hh.exe");
        if (!InstalledFolder().empty())
            StartUninstaller("/S /REMOVEDATA").WaitForExit(kUninstallTimeoutMs);
        DeleteTree(SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Brellonix");
        ResetSettingsAnswered();
    }
    static void RunSetup() { ASSERT_EQ(RunToEnd(SetupPath(), "/S"), 0u); }
    std::string Installed(const std::string& name) const { return folder + "\\" + name; }
    std::string Shortcut() const {
        return SpecialFolder(CSIDL_COMMON_PROGRAMS) + "\\Brellonix.lnk";
    }
    // Starts the installed program as its logon task does: true once its window has hidden.
    bool StartFromLogonTask() {
        std::string definition = Installed("LogonTask.xml");
        program = RunningProgram(XmlElement(definition, "Command"), {},
                                 XmlElement(definition, "WorkingDirectory"));
        return WaitUntil([&] {
            main = FindTopLevel(program.Pid(), "#32770", kMainWindowTitle);
            return main && !::IsWindowVisible(main);
        });
    }
    // Everything the setup put down and update.ini are gone; the program's data only when
    // `dataKept` is false.
    void ExpectProgramRemoved(bool dataKept) const {
        EXPECT_EQ(ListFolder(folder), dataKept ? Strings{"quarantine"} : Strings{});
        EXPECT_FALSE(PathExists(Shortcut()) || ScheduledTaskExists(kProductName) ||
                     RegistryKeyExists(HKEY_LOCAL_MACHINE, kUninstallKey));
        EXPECT_EQ(RegistryKeyExists(HKEY_LOCAL_MACHINE, kTestSettingsKey), dataKept);
    }

    std::string folder;
    RunningProgram program;
    HWND main = nullptr;
};
}  // namespace

// A silent install, the program started as at logon finds its help; setup again and a silent
// uninstall end it without a window, keeping the quarantine and settings; the uninstaller's
// window ends it before anything is removed.
TEST_F(InstallerTest, InstallLogonStartHelpAndEveryUninstallEndTheProgramFirst) {
    EXPECT_EQ(folder, SpecialFolder(CSIDL_PROGRAM_FILES) + "\\Brellonix");
    EXPECT_EQ(Sorted(ListFolder(folder)), kInstalledFiles);
    EXPECT_EQ(ReadFileBytes(Installed("Koravant.exe")),
              ReadFileBytes(BuildFolder() + "\\Koravant.exe"));
    // The shortcut holds its target's path.
    EXPECT_NE(ReadFileBytes(Shortcut()).find(Installed("Koravant.exe")), std::string::npos);
    const std::pair<const char*, std::string> entry[] = {
        {"DisplayName", "Brellonix"},
        {"DisplayVersion", "5.0.0.38"},
        {"DisplayIcon", Installed("Koravant.exe") + ",0"},
        {"UninstallString", "\"" + Installed("Uninstall.exe") + "\""},
        {"QuietUninstallString", "\"" + Installed("Uninstall.exe") + "\" /S"}};
    for (const auto& [name, expected] : entry) EXPECT_EQ(UninstallEntry(name), expected) << name;
    // Wine's Task Scheduler keeps the task's name but drops its trigger and action: those
    // are read from the definition the setup registered, which the starts below follow.
    EXPECT_TRUE(ScheduledTaskExists(kProductName));
    auto xml = [&](const char* tag) { return XmlElement(Installed("LogonTask.xml"), tag); };
    EXPECT_EQ((Strings{xml("Command"), xml("RunLevel"), xml("ExecutionTimeLimit")}),
              (Strings{Installed("Koravant.exe"), "HighestAvailable", "PT0S"}));
    EXPECT_NE(xml("LogonTrigger"), "");
    // Windows starts no program that asks for administrator rights from a Run value.
    EXPECT_FALSE(ReadRegistryValue(
        HKEY_LOCAL_MACHINE, "Software\\Microsoft\\Windows\\CurrentVersion\\Run", kProductName));

    ASSERT_TRUE(StartFromLogonTask());
    PressKey(main, VK_F1);
    EXPECT_TRUE(WaitForWindow(0, "Brellonix Help", ""));  // the help viewer's
    KillProcessesNamed("hh.exe");                         // it holds the help file
    RunSetup();
    // Ended by itself, not by force.
    EXPECT_TRUE(program.ExitCode() == 0 && ScheduledTaskExists(kProductName));

    std::string quarantined = Installed("quarantine\\autorun.inf.kv");
    ASSERT_TRUE(CreateFolders(Installed("quarantine")) &&
                WriteFileBytes(quarantined, EncodeQuarantineFile("F:\\autorun.inf", "[x]")) &&
                WriteFileBytes(Installed("update.ini"), "[update]\r\n"));
    ASSERT_TRUE(StartFromLogonTask() && StartUninstaller("/S").WaitForExit(kUninstallTimeoutMs));
    EXPECT_EQ(program.ExitCode(), 0u);
    ExpectProgramRemoved(true);
    EXPECT_TRUE(PathExists(quarantined));

    // The uninstaller's window: the program says it will quit and ends; the uninstaller waits
    // for that before it removes a file, then asks before it removes the program's data.
    RunSetup();
    ResetSettingsAnswered();
    ASSERT_TRUE(StartFromLogonTask());
    RunningProgram uninstaller = StartUninstaller();
    HWND wizard = WaitForWindow(uninstaller.Pid(), kUninstallerTitle);
    ASSERT_TRUE(wizard);
    MessageBoxInfo notice = WaitForMessageBox(program.Pid());
    EXPECT_EQ(notice.text, "The Brellonix will quit!");
    ClickButton(wizard, kWizardNext);
    EXPECT_TRUE(WaitUntil([&] {
        for (HWND page : ChildWindows(wizard, "#32770"))  // 1006: the progress page's status
            if (WindowText(::GetDlgItem(page, 1006)) == "Waiting for Brellonix to quit...")
                return true;
        return false;
    }));
    EXPECT_TRUE(program.Running() && PathExists(Shortcut()) &&
                std::ranges::includes(Sorted(ListFolder(folder)), kInstalledFiles));
    AnswerMessageBox(notice, IDOK);
    EXPECT_TRUE(program.WaitForExit());
    MessageBoxInfo question = WaitForMessageBox(uninstaller.Pid(), 30000);
    EXPECT_TRUE(question.text.starts_with("Also remove Brellonix's own data")) << question.text;
    AnswerMessageBox(question, IDYES);
    EXPECT_TRUE(
        WaitUntil([&] { return ::IsWindowEnabled(::GetDlgItem(wizard, kWizardNext)); }, 30000));
    ClickButton(wizard, kWizardNext);
    ASSERT_TRUE(uninstaller.WaitForExit(kUninstallTimeoutMs));
    ExpectProgramRemoved(false);
    EXPECT_FALSE(PathExists(folder));
}
