// The resident shield from end to end: a stick arrives, the window comes forward on the shield
// page with the threats in the stick's root, and they are deleted through the quarantine.
#include <gtest/gtest.h>

#include "tests/support/KoravantApp.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/PageView.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr UINT kShieldPage = 153;
constexpr int kList = 1015, kResult = 1017, kDelete = 1002, kDeleteAll = 1016;
constexpr DWORD kHidden = FILE_ATTRIBUTE_HIDDEN;

class ShieldTest : public ProgramTest {
  protected:
    ShieldTest() : ProgramTest("shield") {}

    bool Arrive(const TestDrive& drive) { return SendDriveArrival(Main(), drive.Letter()); }
    std::vector<std::string> Paths() const {
        std::vector<std::string> paths;
        for (const auto& row : shield.Rows()) paths.push_back(row[0]);
        return paths;
    }

    // Five threats listed at start-up, Delete all pressed and its question answered: the
    // worker's "Please wait for a while" is up next.
    void ConfirmDeleteAllOfFiveRows(TestDrive& stick) {
        for (const char* name : {"a.inf", "b.inf", "c.inf", "d.inf", "e.inf"})
            stick.WriteFile(name, "");
        ASSERT_TRUE(app.StartHidden());
        ASSERT_EQ(shield.RowCount(), 5);
        shield.Click(kDeleteAll);
        ASSERT_TRUE(AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK));
    }

    PageView shield{app, kShieldPage, kList, kResult};
};

using Strings = std::vector<std::string>;
}  // namespace

TEST_F(ShieldTest, AnEmptyRootHasNoThreats) {
    ASSERT_TRUE(app.StartHidden());
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_TRUE(stick.Plugged());
    stick.WriteFile("photo.jpg", "x");
    ASSERT_TRUE(Arrive(stick));
    EXPECT_TRUE(::IsWindowVisible(Main()));
    EXPECT_EQ(app.VisiblePage(), kShieldPage);
    EXPECT_EQ(shield.RowCount(), 0);
    EXPECT_EQ(shield.ResultLine(), "No threat found");
}

TEST_F(ShieldTest, TwoSticksAreListedInLetterOrder) {
    ASSERT_TRUE(app.StartHidden());
    TestDrive second('G', DriveKind::Removable), first('F', DriveKind::Removable);
    first.WriteFile("autorun.inf", "[autorun]");
    first.WriteFile("run.exe", "MZ", kHidden);
    second.WriteFile("a.inf", "");
    second.WriteFile("b.vbs", "", kHidden);
    second.WriteFile("c.lnk", "", kHidden);
    ASSERT_TRUE(Arrive(second));
    ListRows rows = shield.Rows();
    ASSERT_EQ(rows.size(), 5u);
    EXPECT_EQ(rows[0][0].substr(0, 3), "F:\\");
    EXPECT_EQ(rows[1][0].substr(0, 3), "F:\\");
    for (size_t i = 2; i < rows.size(); ++i) EXPECT_EQ(rows[i][0].substr(0, 3), "G:\\");
    for (const auto& row : rows) EXPECT_EQ(row[1], "Risky");
    EXPECT_EQ(shield.ResultLine(), "5 threats found");
    EXPECT_EQ(ListColumnHeading(shield.List(), 0), "Threat");
    EXPECT_EQ(ListColumnHeading(shield.List(), 1), "State");
    EXPECT_EQ(ListColumnWidth(shield.List(), 0), 600);
    EXPECT_EQ(ListColumnWidth(shield.List(), 1), 135);
}

TEST_F(ShieldTest, TheRootIsJudgedByTheShieldRule) {
    ASSERT_TRUE(app.StartHidden());
    // A case-sensitive host folder could hold both spellings side by side; Windows cannot.
    TestDrive visible('E', DriveKind::Removable), hidden('F', DriveKind::Removable);
    visible.WriteFile("AUTORUN.INF", "[autorun]");
    visible.WriteFile("x.INF", "");
    visible.WriteFile("setup.exe", "MZ");
    visible.WriteFile("readme.html", "");
    visible.WriteFile("photo.JPG", "", kHidden);
    hidden.WriteFile("Autorun.inf", "[autorun]", kHidden);
    hidden.WriteFile("setup.exe", "MZ", kHidden);
    hidden.WriteFile("photo.jpg.exe", "MZ", kHidden);
    hidden.MakeFolder("sub");
    hidden.WriteFile("sub\\deep.exe", "MZ", kHidden);
    TestDrive immune('G', DriveKind::Removable);
    immune.MakeFolder("AUTORUN.INF", kHidden);
    ASSERT_TRUE(Arrive(immune));
    Strings paths = Paths();
    std::sort(paths.begin(), paths.end());
    EXPECT_EQ(paths, (Strings{"E:\\AUTORUN.INF", "E:\\x.INF", "F:\\Autorun.inf",
                              "F:\\photo.jpg.exe", "F:\\setup.exe"}));
}

TEST_F(ShieldTest, ArrivalsBringTheWindowForwardOnAFreshList) {
    ASSERT_TRUE(app.StartHidden());
    TestDrive stick('E', DriveKind::Removable);
    stick.WriteFile("autorun.inf", "");
    ASSERT_TRUE(Arrive(stick));
    ASSERT_EQ(shield.RowCount(), 1);

    // Away on another page and hidden again: the next arrival comes back to the shield page.
    ClickButton(Main(), 1000);
    ASSERT_TRUE(WaitUntil([&] { return app.VisiblePage() == 129u; }));
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.WaitUntilHidden());
    TestDrive second('F', DriveKind::Removable);
    second.WriteFile("x.inf", "");
    ASSERT_TRUE(Arrive(second));
    EXPECT_TRUE(::IsWindowVisible(Main()));
    EXPECT_FALSE(::IsIconic(Main()));
    EXPECT_EQ(app.VisiblePage(), kShieldPage);
    EXPECT_EQ(Paths(), (Strings{"E:\\autorun.inf", "F:\\x.inf"}));

    // Pulling one of two re-examines the other; pulling the last changes nothing visible.
    ASSERT_TRUE(stick.Remove());
    ASSERT_TRUE(SendDriveRemoval(Main(), 'E'));
    EXPECT_EQ(Paths(), (Strings{"F:\\x.inf"}));
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.WaitUntilHidden());
    ASSERT_TRUE(second.Remove());
    ASSERT_TRUE(SendDriveRemoval(Main(), 'F'));
    ::Sleep(300);
    EXPECT_FALSE(::IsWindowVisible(Main()));
    EXPECT_EQ(Paths(), (Strings{"F:\\x.inf"}));
}

TEST_F(ShieldTest, AStickPresentAtStartUpIsExaminedAndTheWindowStillHides) {
    TestDrive stick('E', DriveKind::Removable);
    stick.WriteFile("autorun.inf", "", kHidden);
    ASSERT_TRUE(app.StartHidden());
    EXPECT_EQ(app.VisiblePage(), kShieldPage);
    EXPECT_EQ(Paths(), (Strings{"E:\\autorun.inf"}));
    EXPECT_EQ(shield.ResultLine(), "1 threats found");
}

TEST_F(ShieldTest, DeleteAsksAndQuarantines) {
    ASSERT_TRUE(app.StartHidden());
    ASSERT_TRUE(app.BringForward());
    ClickButton(Main(), 1001);
    shield.Click(kDelete);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "No threat found");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));

    TestDrive stick('E', DriveKind::Removable);
    stick.WriteFile("autorun.inf", "[autorun]\r\nopen=run.exe\r\n",
                    kHidden | FILE_ATTRIBUTE_READONLY);
    stick.WriteFile("run.exe", "MZ\x90", kHidden | FILE_ATTRIBUTE_SYSTEM);
    ASSERT_TRUE(Arrive(stick));
    ASSERT_EQ(shield.RowCount(), 2);
    shield.Select(-1);
    shield.Click(kDelete);
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please select a file");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));

    int autorun = shield.RowOf("E:\\autorun.inf");
    ASSERT_GE(autorun, 0);
    shield.Select(autorun);
    shield.Click(kDelete);
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Delete: E:\\autorun.inf?");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    ASSERT_TRUE(AnswerMessageBox(box, IDCANCEL));
    ::Sleep(200);
    EXPECT_TRUE(stick.Exists("autorun.inf"));
    EXPECT_EQ(shield.Cell(autorun, 1), "Risky");

    shield.Click(kDelete);
    ASSERT_TRUE(AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK));
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please wait for a while");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    ASSERT_TRUE(WaitUntil([&] { return shield.Cell(autorun, 1) == "Deleted"; }));
    EXPECT_FALSE(stick.Exists("autorun.inf"));
    std::string origin, content;
    ASSERT_TRUE(DecodeQuarantineFile(QuarantineFile("autorun.inf.kv"), &origin, &content));
    EXPECT_EQ(origin, "E:\\autorun.inf");
    EXPECT_EQ(content, "[autorun]\r\nopen=run.exe\r\n");
    EXPECT_EQ(shield.Cell(1 - autorun, 1), "Risky");
}

TEST_F(ShieldTest, DeleteOfAVanishedFileOrALockedOne) {
    TestDrive stick('E', DriveKind::Removable);
    stick.WriteFile("gone.inf", "");
    stick.WriteFile("held.exe", "MZ", kHidden | FILE_ATTRIBUTE_READONLY);
    ASSERT_TRUE(app.StartHidden());
    ASSERT_EQ(shield.RowCount(), 2);
    ASSERT_TRUE(app.BringForward());
    int gone = shield.RowOf("E:\\gone.inf");
    int held = shield.RowOf("E:\\held.exe");
    ASSERT_GE(gone, 0);
    ASSERT_GE(held, 0);

    ASSERT_TRUE(DeleteFileA(stick.Path("gone.inf").c_str()));
    shield.Select(gone);
    shield.Click(kDelete);
    ASSERT_TRUE(AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK));
    ASSERT_TRUE(WaitUntil([&] { return shield.Cell(gone, 1) == "Deleted"; }));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_TRUE(QuarantineFile("gone.inf.kv").empty());

    // Held open without sharing: neither copied nor deleted, but no longer hidden.
    ScopedHandle handle(::CreateFileA(stick.Path("held.exe").c_str(), GENERIC_READ, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(handle);
    shield.Select(held);
    shield.Click(kDelete);
    ASSERT_TRUE(AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK));
    ASSERT_TRUE(AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK));
    ASSERT_TRUE(WaitUntil([&] { return shield.Cell(held, 1) == "Delete failed"; }));
    EXPECT_TRUE(stick.Exists("held.exe"));
    DWORD attributes = ::GetFileAttributesA(stick.Path("held.exe").c_str());
    EXPECT_EQ(attributes & (kHidden | FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_SYSTEM), 0u);
}

TEST_F(ShieldTest, DeleteAllQuarantinesEveryRow) {
    TestDrive stick('E', DriveKind::Removable);
    for (const char* name : {"a.inf", "b.inf", "c.inf"}) stick.WriteFile(name, name);
    for (const char* name : {"d.exe", "e.scr"}) stick.WriteFile(name, name, kHidden);
    ASSERT_TRUE(app.StartHidden());
    ASSERT_EQ(shield.RowCount(), 5);
    shield.Click(kDeleteAll);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Do you want to delete all?");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please wait for a while");
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please remove your USB disk and plug it into the computer again");
    EXPECT_TRUE(shield.WaitForAllStates("Deleted"));
    EXPECT_TRUE(shield.IsEnabled(kDelete));
    EXPECT_TRUE(shield.IsEnabled(kDeleteAll));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(ListFolder(stick.Folder()).empty());
    EXPECT_EQ(ListFolder(app.Folder() + "\\quarantine").size(), 5u);
}

TEST_F(ShieldTest, AnArrivalDuringDeleteAllStopsItBeforeItTouchesAFile) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_NO_FATAL_FAILURE(ConfirmDeleteAllOfFiveRows(stick));
    MessageBoxInfo wait = WaitForMessageBox(app.Pid());
    ASSERT_EQ(wait.text, "Please wait for a while");

    // While the worker waits, a second stick re-lists the rows under it.
    TestDrive second('F', DriveKind::Removable);
    second.WriteFile("z.inf", "");
    ASSERT_TRUE(Arrive(second));
    ASSERT_EQ(shield.RowCount(), 6);
    ASSERT_TRUE(AnswerMessageBox(wait, IDOK));
    ::Sleep(500);
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_EQ(ListFolder(stick.Folder()).size(), 5u);
    EXPECT_TRUE(second.Exists("z.inf"));
    for (const auto& row : shield.Rows()) EXPECT_EQ(row[1], "Risky");
    EXPECT_TRUE(shield.IsEnabled(kDeleteAll));
}

TEST_F(ShieldTest, QuittingDuringDeleteAllIsClean) {
    TestDrive stick('E', DriveKind::Removable);
    ASSERT_NO_FATAL_FAILURE(ConfirmDeleteAllOfFiveRows(stick));
    ASSERT_EQ(WaitForMessageBox(app.Pid()).text, "Please wait for a while");
    PostCommand(Main(), 1062);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(ListFolder(stick.Folder()).size(), 5u);
}

TEST_F(ShieldTest, TheAlertSitsAboveTheTaskbarForThreeSeconds) {
    double started = NowMs();
    ASSERT_TRUE(app.Start());
    HWND alert = nullptr;
    ASSERT_TRUE(WaitUntil([&] {
        alert = FindTopLevel(app.Pid(), "#32770", "Brellonix");
        return alert && ::IsWindowVisible(alert);
    }));
    HWND taskbar = ::FindWindowA("Shell_TrayWnd", nullptr);
    ASSERT_NE(taskbar, nullptr);
    RECT alertRect, taskbarRect, desktop;
    ::GetWindowRect(alert, &alertRect);
    ::GetWindowRect(taskbar, &taskbarRect);
    ::GetWindowRect(::GetDesktopWindow(), &desktop);
    EXPECT_EQ(alertRect.right, desktop.right);
    EXPECT_EQ(alertRect.bottom, taskbarRect.top);
    EXPECT_EQ(WindowText(::GetDlgItem(alert, 1022)), "Resident Shield is active");
    EXPECT_EQ(WindowText(::GetDlgItem(alert, 1002)), "Active");
    SaveScreenshot("alert", alert);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(alert); }, 10000));
    double shownMs = NowMs() - started;
    RecordProperty("alert_hidden_after_ms", std::to_string(static_cast<int>(shownMs)));
    EXPECT_GT(shownMs, 2500.0);
    EXPECT_LT(shownMs, 6000.0);
}

TEST_F(ShieldTest, Screenshot) {
    TestDrive stick('E', DriveKind::Removable);
    stick.WriteFile("autorun.inf", "", kHidden);
    stick.WriteFile("RECYCLER.exe", "MZ", kHidden);
    stick.WriteFile("photos.lnk", "", kHidden);
    ASSERT_TRUE(app.StartHidden());
    ASSERT_TRUE(app.BringForward());
    shield.Select(1);
    ::Sleep(300);
    SaveScreenshot("shield-page", Main());
}
