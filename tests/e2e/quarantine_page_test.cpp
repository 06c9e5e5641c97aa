// The quarantine page from end to end: quarantine files written by hand into the program's
// quarantine folder are listed, restored to their origin or the desktop, and emptied.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>

#include "tests/support/KoravantApp.h"
#include "tests/support/PageNavigation.h"
#include "tests/support/PageView.h"
#include "tests/support/Screenshot.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr UINT kQuarantinePage = 151;
constexpr int kQuarantinePageButton = 1011;
constexpr int kList = 1057, kRefresh = 1002, kRestore = 1003, kEmpty = 1004;
constexpr UINT kQuitCommand = 1062;

using Strings = std::vector<std::string>;

std::string DesktopFolder() {
    char path[MAX_PATH] = {};
    ::SHGetSpecialFolderPathA(nullptr, path, CSIDL_DESKTOPDIRECTORY, FALSE);
    return path;
}

bool IsFolder(const std::string& path) {
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

class QuarantinePageTest : public testing::Test {
  protected:
    void SetUp() override {
        KillProcessesNamed("Koravant.exe");
        ResetSettingsAnswered();
        DeleteTree(QuarantineFolder());
    }
    void TearDown() override { KillProcessesNamed("Koravant.exe"); }

    HWND Main() const { return app.MainWindow(); }
    bool OpenQuarantinePage() {
        return app.StartHidden() && OpenPage(app, kQuarantinePageButton, kQuarantinePage);
    }
    std::string QuarantineFolder() const { return app.Folder() + "\\quarantine"; }
    std::string QuarantinePath(const std::string& name) const {
        return QuarantineFolder() + "\\" + name;
    }
    bool WriteQuarantined(const std::string& name, const std::string& origin,
                          const std::string& content = "") {
        return CreateFolders(QuarantineFolder()) &&
               WriteFileBytes(QuarantinePath(name), EncodeQuarantineFile(origin, content));
    }
    ListRows SortedRows() const {
        ListRows rows = page.Rows();
        std::sort(rows.begin(), rows.end());
        return rows;
    }
    bool ButtonsEnabled(bool enabled) const {
        for (int id : {kRefresh, kRestore, kEmpty})
            if (page.IsEnabled(id) != enabled) return false;
        return true;
    }
    // Answers the next message box; returns its text.
    std::string AnswerNextBox(int answer = IDOK) {
        MessageBoxInfo box = WaitForMessageBox(app.Pid());
        AnswerMessageBox(box, answer);
        return box.text;
    }
    // Clicks a button and answers the message box it brings up.
    std::string ClickAndAnswer(int button, int answer = IDOK) {
        page.Click(button);
        return AnswerNextBox(answer);
    }

    KoravantApp app{{"quarantine-page"}};
    PageView page{app, kQuarantinePage, kList};
};

// Bytes of every value, so the coding's wrap past 255 is crossed both ways.
std::string EveryByte() {
    std::string bytes;
    for (int value = 0; value < 256; ++value) bytes.push_back(static_cast<char>(value));
    return bytes;
}
}  // namespace

TEST_F(QuarantinePageTest, AMissingFolderIsCreatedAndNothingIsFound) {
    ASSERT_FALSE(Exists(QuarantineFolder()));
    ASSERT_TRUE(OpenQuarantinePage());
    EXPECT_TRUE(IsFolder(QuarantineFolder()));
    EXPECT_EQ(page.RowCount(), 0);
    EXPECT_EQ(ListColumnHeading(page.List(), 0), "Origin");
    EXPECT_EQ(ListColumnHeading(page.List(), 1), "Quarantine");
    EXPECT_EQ(ListColumnWidth(page.List(), 0), 410);
    EXPECT_EQ(ListColumnWidth(page.List(), 1), 410);

    page.Click(kRestore);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Nothing found");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK}));
    EXPECT_FALSE(ButtonsEnabled(true));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(true); }));
    EXPECT_EQ(ClickAndAnswer(kEmpty), "Nothing found");
    EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(true); }));
}

TEST_F(QuarantinePageTest, OnlyMarkedKvFilesAreListedAndEmptied) {
    ASSERT_TRUE(WriteQuarantined("setup.exe.kv", "E:\\setup.exe", "MZ"));
    ASSERT_TRUE(WriteQuarantined("run.vbs (2).kv", "F:\\games\\run.vbs", "WScript.Echo 1"));
    ASSERT_TRUE(WriteFileBytes(QuarantinePath("foreign.kv"), "MZ not coded"));
    ASSERT_TRUE(WriteFileBytes(QuarantinePath("short.kv"), "kestrel"));
    ASSERT_TRUE(WriteFileBytes(QuarantinePath("notes.txt"), EncodeQuarantineFile("E:\\a", "")));
    ASSERT_TRUE(CreateFolders(QuarantinePath("folder.kv")));
    // Attributes do not keep a quarantine file from being listed or emptied.
    ASSERT_TRUE(::SetFileAttributesA(QuarantinePath("setup.exe.kv").c_str(),
                                     FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN));
    ASSERT_TRUE(OpenQuarantinePage());
    EXPECT_EQ(SortedRows(), (ListRows{{"E:\\setup.exe", QuarantinePath("setup.exe.kv")},
                                      {"F:\\games\\run.vbs", QuarantinePath("run.vbs (2).kv")}}));
    page.Select(0);
    SaveScreenshot("quarantine-page", Main());

    // Files quarantined later show after Refresh.
    ASSERT_TRUE(WriteQuarantined("c.js.kv", "G:\\c.js"));
    EXPECT_EQ(page.RowCount(), 2);
    page.Click(kRefresh);
    EXPECT_TRUE(page.WaitForRowCount(3));

    EXPECT_EQ(ClickAndAnswer(kEmpty, IDCANCEL),
              "Do you want to delete all quarantined files thoroughly?");
    ::Sleep(300);
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_EQ(page.RowCount(), 3);
    EXPECT_TRUE(Exists(QuarantinePath("setup.exe.kv")));

    EXPECT_EQ(ClickAndAnswer(kEmpty), "Do you want to delete all quarantined files thoroughly?");
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Please wait for a while");
    EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(false); }));
    EXPECT_TRUE(Exists(QuarantinePath("setup.exe.kv")));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Empty completed");
    EXPECT_TRUE(page.WaitForRowCount(0));
    ASSERT_TRUE(AnswerMessageBox(box, IDOK));
    EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(true); }));
    Strings left = ListFolder(QuarantineFolder());
    std::sort(left.begin(), left.end());
    EXPECT_EQ(left, (Strings{"folder.kv", "foreign.kv", "notes.txt", "short.kv"}));
    EXPECT_EQ(ReadFileBytes(QuarantinePath("foreign.kv")), "MZ not coded");
}

TEST_F(QuarantinePageTest, RestoreGoesToTheOriginThenTheDesktopThenFails) {
    const std::string origin = app.Folder() + "\\restore\\target.txt";
    const std::string onDesktop = DesktopFolder() + "\\target.txt";
    ASSERT_FALSE(DesktopFolder().empty());
    DeleteTree(app.Folder() + "\\restore");
    ::DeleteFileA(onDesktop.c_str());
    ASSERT_TRUE(CreateFolders(app.Folder() + "\\restore"));
    ASSERT_TRUE(WriteQuarantined("target.txt.kv", origin, EveryByte()));
    ASSERT_TRUE(OpenQuarantinePage());
    ASSERT_EQ(page.RowCount(), 1);

    page.Select(-1);
    EXPECT_EQ(ClickAndAnswer(kRestore), "Please select a file");
    page.Select(0);
    page.Click(kRestore);
    MessageBoxInfo box = WaitForMessageBox(app.Pid());
    EXPECT_EQ(box.text, "Restore " + origin + "?");
    EXPECT_EQ(box.buttons, (std::vector<int>{IDOK, IDCANCEL}));
    EXPECT_TRUE(ButtonsEnabled(false));
    ASSERT_TRUE(AnswerMessageBox(box, IDCANCEL));
    EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(true); }));
    EXPECT_FALSE(AnyMessageBox(app.Pid()));
    EXPECT_FALSE(Exists(origin));

    EXPECT_EQ(ClickAndAnswer(kRestore), "Restore " + origin + "?");
    EXPECT_EQ(AnswerNextBox(), "Restore succeeded");
    EXPECT_EQ(ReadFileBytes(origin), EveryByte());

    // The origin is occupied now: the desktop takes the copy.
    ASSERT_TRUE(WriteFileBytes(origin, "changed since"));
    EXPECT_EQ(ClickAndAnswer(kRestore), "Restore " + origin + "?");
    EXPECT_EQ(AnswerNextBox(), "Restore the file to desktop");
    EXPECT_EQ(ReadFileBytes(onDesktop), EveryByte());
    EXPECT_EQ(ReadFileBytes(origin), "changed since");

    EXPECT_EQ(ClickAndAnswer(kRestore), "Restore " + origin + "?");
    EXPECT_EQ(AnswerNextBox(), "Restore failed: The file has been restored");
    EXPECT_EQ(ReadFileBytes(origin), "changed since");
    EXPECT_EQ(ReadFileBytes(onDesktop), EveryByte());
    EXPECT_TRUE(Exists(QuarantinePath("target.txt.kv")));
    EXPECT_EQ(page.RowCount(), 1);
    EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(true); }));
    ::DeleteFileA(onDesktop.c_str());
    DeleteTree(app.Folder() + "\\restore");
}

TEST_F(QuarantinePageTest, RestoreOfAQuarantineFileRemovedByHandSaysItIsAbsent) {
    const std::string origin = app.Folder() + "\\gone.txt";
    ::DeleteFileA(origin.c_str());
    ASSERT_TRUE(WriteQuarantined("gone.txt.kv", origin, "x"));
    ASSERT_TRUE(OpenQuarantinePage());
    ASSERT_EQ(page.RowCount(), 1);
    ASSERT_TRUE(::DeleteFileA(QuarantinePath("gone.txt.kv").c_str()));
    page.Select(0);
    EXPECT_EQ(ClickAndAnswer(kRestore), "Restore " + origin + "?");
    EXPECT_EQ(AnswerNextBox(), "Restore failed: the quarantined file is absent!");
    EXPECT_FALSE(Exists(origin));
    EXPECT_TRUE(WaitUntil([&] { return ButtonsEnabled(true); }));
}

TEST_F(QuarantinePageTest, QuittingWhileEmptyWaitsIsClean) {
    ASSERT_TRUE(WriteQuarantined("a.exe.kv", "E:\\a.exe"));
    ASSERT_TRUE(WriteQuarantined("b.exe.kv", "E:\\b.exe"));
    ASSERT_TRUE(OpenQuarantinePage());
    EXPECT_EQ(ClickAndAnswer(kEmpty), "Do you want to delete all quarantined files thoroughly?");
    ASSERT_EQ(WaitForMessageBox(app.Pid()).text, "Please wait for a while");
    PostCommand(Main(), kQuitCommand);
    ASSERT_TRUE(app.WaitForExit());
    EXPECT_EQ(app.ExitCode(), 0u);
    EXPECT_EQ(ListFolder(QuarantineFolder()).size(), 2u);
}
