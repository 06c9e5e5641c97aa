#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <string>
#include <vector>

#include "quarantine/QuarantineFormat.h"
#include "quarantine/QuarantineStore.h"
#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

namespace {

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

std::string AllByteValues(size_t repeats) {
    std::string bytes;
    for (size_t i = 0; i < repeats * 256; ++i) bytes.push_back(static_cast<char>(i));
    return bytes;
}

// A quarantine file built from the layout alone, not by the code under test.
std::string HandBuilt(const std::string& origin, const std::string& content) {
    std::string bytes = "kestrelvane" + origin + "\r\n";
    for (char c : content) bytes.push_back(static_cast<char>(c + 0x1D));
    return bytes;
}

// A stick E: to quarantine from; the new quarantine files and restored desktop files go after.
class QuarantineTest : public ::testing::Test {
  protected:
    void SetUp() override {
        char folder[kPathBufferSize] = {}, desktop[MAX_PATH] = {};
        ASSERT_TRUE(m_stick.Plugged() && GetModuleDirectory(folder));
        ASSERT_TRUE(::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
        m_folder = std::string(folder) + "quarantine";
        m_desktop = desktop;
        m_before = ListFolder(m_folder);
    }
    void TearDown() override {
        SetCopyFaultForTesting(0, 0);
        for (const std::string& name : NewQuarantineFiles())
            ::DeleteFileA(Quarantined(name).c_str());
        if (m_before.empty()) ::RemoveDirectoryA(m_folder.c_str());  // made here, or empty anyway
        // The shell may be reading a restored file for its desktop icon just now.
        for (std::string path : {Desktop("game.exe"), Desktop("report.js")})
            WaitUntil([&] { return !Exists(path) || ::DeleteFileA(path.c_str()); }, 3000);
    }

    // Writes a file on the stick and returns its path there ("E:\\...").
    std::string Put(const std::string& relative, const std::string& bytes,
                    DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        EXPECT_TRUE(m_stick.WriteFile(relative, bytes, attributes)) << relative;
        return m_stick.Path(relative);
    }
    std::string Quarantined(const std::string& name) const { return m_folder + "\\" + name; }
    std::string Desktop(const std::string& name) const { return m_desktop + "\\" + name; }
    std::vector<std::string> NewQuarantineFiles() const {
        std::vector<std::string> names = ListFolder(m_folder);
        std::erase_if(names, [&](auto& name) { return std::ranges::count(m_before, name) > 0; });
        std::sort(names.begin(), names.end());
        return names;
    }

    TestDrive m_stick{'E', DriveKind::Removable};
    std::string m_folder, m_desktop;  // no trailing backslash
    std::vector<std::string> m_before;
};

}  // namespace

TEST_F(QuarantineTest, RoundTripsKeepEveryByteInTheWrittenLayout) {
    struct Case {
        const char* name;
        std::string content;
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    } cases[] = {
        {"empty.exe", ""},
        {"ten.lnk", "kestrelvan"},  // one byte short of the marker
        {"all.dll", AllByteValues(5) + "tail"},
        {"block.scr", std::string(1000, '\xE3')},  // exactly one block
        {"autorun.inf", "[autorun]\r\nopen=x.exe",
         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"big.exe", AllByteValues(50 << 12)},  // 50 MB
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string threat = Put(c.name, c.content, c.attributes);
        ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
        EXPECT_FALSE(Exists(threat));

        std::string coded = Quarantined(std::string(c.name) + ".kv");
        EXPECT_TRUE(ReadFileBytes(coded) == HandBuilt(threat, c.content));  // never print 50 MB
        EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
        EXPECT_TRUE(ReadFileBytes(threat) == c.content);
        EXPECT_EQ(::GetFileAttributesA(threat.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
        EXPECT_TRUE(Exists(coded)) << "a restore keeps the quarantine file";
    }
}

TEST_F(QuarantineTest, AFileThatIsAlreadyCodedIsDeletedWithoutACopy) {
    std::string threat = Put("old.exe.kv", HandBuilt("E:\\old.exe", "MZ"));
    EXPECT_EQ(QuarantineCopyFile(threat.c_str(), Quarantined("x.kv").c_str(), true),
              kCopyAlreadyCoded);
    EXPECT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    EXPECT_FALSE(Exists(threat));
    EXPECT_TRUE(NewQuarantineFiles().empty());
}

TEST_F(QuarantineTest, HandBuiltFilesRestoreAndDamagedOnesAreRejectedSafely) {
    std::string hand = m_stick.Path("hand.exe"), cut = m_stick.Path("cut.exe");
    struct Case {
        const char* what;
        std::string bytes, origin{}, restored{};  // no origin: rejected
    } cases[] = {
        {"by hand", HandBuilt(hand, AllByteValues(9)), hand, AllByteValues(9)},
        {"cut inside its path", "kestrelvane" + cut, cut, ""},
        {"4000-character path", HandBuilt("E:\\" + std::string(3997, 'p'), "MZ")},
        {"256-character path", HandBuilt("E:\\" + std::string(253, 'p'), "MZ")},
        {"no CR within the path limit", "kestrelvane" + std::string(300, 'q')},
        {"shorter than the marker", "kestrel"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string coded = m_stick.FolderPath("hand.kv");
        ASSERT_TRUE(WriteFileBytes(coded, c.bytes));
        // A guard past the 256-byte buffer shows that nothing is overrun.
        char origin[kPathBufferSize + 16];
        std::fill_n(origin, sizeof(origin), '#');
        EXPECT_EQ(ReadQuarantineOrigin(coded.c_str(), origin), !c.origin.empty());
        if (!c.origin.empty()) {
            EXPECT_EQ(std::string(origin), c.origin);
            EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
            EXPECT_TRUE(Exists(c.origin));
            EXPECT_EQ(ReadFileBytes(c.origin), c.restored);
            continue;
        }
        for (char byte : origin) ASSERT_EQ(byte, '#');
        EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoreFailed);
    }
    EXPECT_TRUE(NewQuarantineFiles().empty());
}

TEST_F(QuarantineTest, SameNamesKeepEveryCopy) {
    const char* relatives[] = {"setup.exe", "sub\\setup.exe", "other\\SETUP.EXE"};
    for (const char* relative : relatives)
        ASSERT_TRUE(QuarantineAndDeleteFile(Put(relative, relative).c_str()));
    EXPECT_EQ(NewQuarantineFiles(),
              (std::vector<std::string>{"SETUP.EXE (3).kv", "setup.exe (2).kv", "setup.exe.kv"}));
    for (const char* name : {"setup.exe (2).kv", "setup.exe.kv", "SETUP.EXE (3).kv"})
        EXPECT_EQ(RestoreQuarantinedFile(Quarantined(name).c_str()), kRestoredToOrigin) << name;
    for (const char* relative : relatives) EXPECT_EQ(m_stick.ReadFile(relative), relative);
}

TEST_F(QuarantineTest, RestoreGoesToTheDesktopWhenTheOriginIsTakenOrGoneAndNeverOverwrites) {
    std::string game = Put("game.exe", "quarantined"), report = Put("docs\\report.js", "alert");
    ASSERT_TRUE(QuarantineAndDeleteFile(game.c_str()) && QuarantineAndDeleteFile(report.c_str()));
    Put("game.exe", "new file at the origin");
    EXPECT_EQ(RestoreQuarantinedFile(Quarantined("game.exe.kv").c_str()), kRestoredToDesktop);
    EXPECT_EQ(ReadFileBytes(Desktop("game.exe")), "quarantined");

    // Replaced once the shell has read the new desktop file for its icon.
    ASSERT_TRUE(WaitUntil([&] { return WriteFileBytes(Desktop("game.exe"), "changed"); }, 3000));
    EXPECT_EQ(RestoreQuarantinedFile(Quarantined("game.exe.kv").c_str()), kRestoreFailed);
    EXPECT_EQ(ReadFileBytes(Desktop("game.exe")), "changed");
    EXPECT_EQ(ReadFileBytes(game), "new file at the origin");

    ASSERT_TRUE(m_stick.Remove());
    EXPECT_EQ(RestoreQuarantinedFile(Quarantined("report.js.kv").c_str()), kRestoredToDesktop);
    EXPECT_EQ(ReadFileBytes(Desktop("report.js")), "alert");
    EXPECT_FALSE(m_stick.Exists("docs\\report.js"));
}

TEST_F(QuarantineTest, FailuresInsideTheCopyLeaveNoPartialFile) {
    std::string content = AllByteValues(20);  // five blocks and a bit
    std::string source = Put("five.exe", content), coded = m_stick.FolderPath("five.kv");
    std::string restored = m_stick.Path("restored.exe");
    // Each failed copy removes what it wrote.
    auto copy = [&](int failingRead, int failingWrite, bool into) {
        SetCopyFaultForTesting(failingRead, failingWrite);
        int result = QuarantineCopyFile((into ? source : restored).c_str(), coded.c_str(), into);
        EXPECT_EQ(Exists(into ? coded : restored), result == kCopyDone) << result;
        return result;
    };
    EXPECT_EQ(copy(3, 0, true), kCopySourceFailed);
    EXPECT_EQ(copy(0, 2, true), kCopyTargetFailed);
    ASSERT_EQ(copy(0, 0, true), kCopyDone);
    EXPECT_EQ(copy(4, 0, false), kCopyNotQuarantine);
    EXPECT_EQ(copy(0, 1, false), kCopySourceFailed);
    // The threat still goes: the copy is best effort, but no corrupt copy stays behind.
    std::string threat = Put("threat.exe", content);
    EXPECT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    EXPECT_FALSE(Exists(threat));
    EXPECT_TRUE(NewQuarantineFiles().empty());
}
