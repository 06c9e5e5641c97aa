// The resident shield from end to end: a stick arrives, the window comes forward on the shield
// page with the threats in the stick's root, and deletes leave rows listed again alone.
#include "res/resource.h"
#include "tests/support/ProgramTest.h"
#include "tests/support/Wait.h"

namespace {
constexpr char kWait[] = "Please wait for a while";

class ShieldTest : public ProgramTest {
  protected:
    ShieldTest() : ProgramTest("shield") {}

    PageView shield{app, IDD_PLUGWATCH, IDC_SHIELD_LIST, IDC_SHIELD_RESULT};
};
}  // namespace

// The start-up alert first: in the corner above the taskbar for about three seconds. Rows that
// change under a question or a notice are left as they are.
TEST_F(ShieldTest, ArrivalsListEveryRootsThreatsAndDeletesLeaveRelistedRowsAlone) {
    ASSERT_TRUE(app.Start());
    HWND alert = WaitForWindow(app.Pid(), "Brellonix");
    RECT rect = {}, taskbar = {};
    ::GetWindowRect(::FindWindowA("Shell_TrayWnd", nullptr), &taskbar);
    EXPECT_TRUE(::GetWindowRect(alert, &rect) && rect.right == ::GetSystemMetrics(SM_CXSCREEN) &&
                rect.bottom == taskbar.top);
    ASSERT_TRUE(WaitUntil([&] { return !::IsWindowVisible(alert); }, 10000));

    // Hidden on page 1, an arrival brings the window forward on the shield page, and it
    // re-examines every stick (two: Windows keeps one AUTORUN.INF per folder).
    TestDrive second('H', DriveKind::Removable), first('G', DriveKind::Removable);
    ASSERT_TRUE(WriteFiles(first, {"AUTORUN.INF", "x.INF"}) && WriteFiles(second, {"Autorun.inf"}));
    ASSERT_TRUE(SendDriveArrival(Main(), 'H'));
    EXPECT_TRUE(::IsWindowVisible(Main()) && app.VisiblePage() == IDD_PLUGWATCH);
    EXPECT_EQ(Sorted(shield.Column(0)),
              (Strings{"G:\\AUTORUN.INF", "G:\\x.INF", "H:\\Autorun.inf"}));
    EXPECT_EQ(shield.ResultLine(), "3 threats found");
    // One stick pulled out while another stays: the one left is listed again.
    ASSERT_TRUE(second.Remove() && SendDriveRemoval(Main(), 'H'));
    EXPECT_EQ(shield.Column(0), (Strings{"G:\\AUTORUN.INF", "G:\\x.INF"}));
    // Pulling the last stick changes nothing visible: the branch any change takes when no USB
    // drive is left (which drives count is the drive list's unit test). Device changes are
    // sent: handled when the call returns.
    ::PostMessageA(Main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(app.WaitUntilHidden() && first.Remove() && SendDriveRemoval(Main(), 'G'));
    EXPECT_TRUE(!::IsWindowVisible(Main()) && shield.RowCount() == 2);

    // While Delete all's worker waits on its notice, another stick re-lists the rows under it:
    // the worker ends without touching a file or saying a word.
    TestDrive stick('E', DriveKind::Removable), other('J', DriveKind::Removable);
    ASSERT_TRUE(WriteFiles(stick, {"a.inf", "b.inf"}) && shield.Open(IDC_PAGE_PLUGWATCH) &&
                SendDriveArrival(Main(), 'E') && shield.RowCount() == 2);
    ASSERT_EQ(ClickAndAnswer(shield, IDC_SHIELD_DELETE_ALL), "Do you want to delete all?");
    MessageBoxInfo notice = WaitForMessageBox(app.Pid());
    ASSERT_EQ(notice.text, kWait);
    ScopedHandle worker = OpenOwnerThread(notice.window);
    ASSERT_TRUE(WriteFiles(other, {"z.inf"}) && SendDriveArrival(Main(), 'J'));
    ASSERT_EQ(shield.RowCount(), 3);
    EXPECT_TRUE(AnswerMessageBox(notice, IDOK) &&
                ::WaitForSingleObject(worker.get(), 10000) == WAIT_OBJECT_0 &&
                !AnyMessageBox(app.Pid()));
    EXPECT_EQ(ListFolder(stick.Folder()).size(), 2u);
    EXPECT_EQ(shield.Column(1), Strings(3, "Risky"));

    // So does a single Delete whose rows change under its question: the file goes, but the
    // row now in its place keeps its state.
    shield.Select(2);
    shield.Click(IDC_SHIELD_DELETE);
    MessageBoxInfo question = WaitForMessageBox(app.Pid());
    ASSERT_EQ(question.text, "Delete: J:\\z.inf?");
    ASSERT_TRUE(WriteFiles(stick, {"c.inf"}) && SendDriveArrival(Main(), 'E'));
    EXPECT_TRUE(AnswerMessageBox(question, IDOK));
    EXPECT_EQ(Answer(), kWait);
    EXPECT_TRUE(app.Answers() && !other.Exists("z.inf"));
    EXPECT_EQ(shield.Column(1), Strings(4, "Risky"));
}
