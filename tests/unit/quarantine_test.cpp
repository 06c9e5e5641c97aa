#include <gtest/gtest.h>
#include <windows.h>
#include <shlobj.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>
#include <vector>

#include "quarantine/QuarantineFormat.h"
#include "quarantine/QuarantineStore.h"
#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

namespace {
std::string AllByteValues(size_t repeats) {
    std::string bytes;
    for (size_t i = 0; i < repeats * 256; ++i) bytes.push_back(static_cast<char>(i));
    return bytes;
}

// A quarantine file built from the layout alone, not by the code under test.
std::string HandBuilt(const std::string& origin, std::string content) {
    for (char& c : content) c = static_cast<char>(c + 0x1D);
    return "kestrelvane" + origin + "\r\n" + content;
}

// Put writes a file on the stick E: and returns its path there; the files a test adds to the
// quarantine and the desktop are removed.
struct QuarantineTest : ::testing::Test {
    void SetUp() override {
        char folder[kPathBufferSize] = {}, desktop[MAX_PATH] = {};
        ASSERT_TRUE(m_stick.Plugged() && GetModuleDirectory(folder) &&
                    ::SHGetSpecialFolderPathA(nullptr, desktop, CSIDL_DESKTOPDIRECTORY, FALSE));
        m_folder = std::string(folder) + "quarantine";
        m_desktop = std::string(desktop) + "\\";
        m_before = ListFolder(m_folder);
    }
    void TearDown() override {
        SetCopyFaultForTesting(0, 0);
        for (auto& name : NewQuarantineFiles()) ::DeleteFileA(Quarantined(name).c_str());
        ::RemoveDirectoryA(m_folder.c_str());  // only when empty
        // The shell may be reading a restored file for its desktop icon just now.
        for (std::string path : {m_desktop + "game.exe", m_desktop + "report.js"})
            WaitUntil([&] { return std::remove(path.c_str()) == 0 || errno == ENOENT; }, 3000);
    }

    std::string Put(const std::string& relative, const std::string& bytes,
                    DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
        EXPECT_TRUE(m_stick.WriteFile(relative, bytes, attributes)) << relative;
        return m_stick.Path(relative);
    }
    std::string Quarantined(const std::string& name) const { return m_folder + "\\" + name; }
    std::vector<std::string> NewQuarantineFiles() const {
        std::vector<std::string> names = ListFolder(m_folder);
        std::erase_if(names, [&](auto& name) { return std::ranges::count(m_before, name) > 0; });
        return names;
    }
    TestDrive m_stick{'E', DriveKind::Removable};
    std::string m_folder, m_desktop;  // the quarantine folder without, the desktop with a backslash
    std::vector<std::string> m_before;
};
}  // namespace

TEST_F(QuarantineTest, RoundTripsKeepEveryByteInTheWrittenLayoutAndEverySameNamedCopy) {
    struct {
        const char *name, *coded;
        std::string content;
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
    } cases[] = {
        {"empty.exe", "empty.exe.kv", ""},
        {"ten.lnk", "ten.lnk.kv", "kestrelvan"},  // one byte short of the marker
        {"all.dll", "all.dll.kv", AllByteValues(5) + "tail"},
        {"block.scr", "block.scr.kv", std::string(1000, '\xE3')},  // exactly one block
        {"autorun.inf", "autorun.inf.kv", "[autorun]\r\nopen=x.exe",
         FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM},
        {"big.exe", "big.exe.kv", AllByteValues(50 << 12)},  // 50 MB
        {"sub\\empty.exe", "empty.exe (2).kv", "second"},
        {"other\\EMPTY.EXE", "EMPTY.EXE (3).kv", "third"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        std::string threat = Put(c.name, c.content, c.attributes), coded = Quarantined(c.coded);
        ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()) && !m_stick.Exists(c.name));
        EXPECT_TRUE(ReadFileBytes(coded) == HandBuilt(threat, c.content));  // never print 50 MB
        EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
        EXPECT_TRUE(ReadFileBytes(threat) == c.content);
        EXPECT_EQ(::GetFileAttributesA(threat.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
    }
    EXPECT_EQ(NewQuarantineFiles().size(), std::size(cases)) << "a restore keeps its copy";
}

TEST_F(QuarantineTest, HandBuiltFilesRestoreAndDamagedOnesAreRejectedSafely) {
    std::string hand = "E:\\hand.exe", cut = "E:\\cut.exe", coded = m_stick.FolderPath("hand.kv");
    struct {
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
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_TRUE(WriteFileBytes(coded, c.bytes));
        // Filled up to its terminator, or left alone up to a guard past its 256 bytes.
        std::string origin(kPathBufferSize + 16, '#'), untouched = origin;
        bool ok = !c.origin.empty();
        EXPECT_EQ(ReadQuarantineOrigin(coded.c_str(), origin.data()), ok);
        EXPECT_EQ(ok ? origin.c_str() : origin, ok ? c.origin : untouched);
        EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), ok ? kRestoredToOrigin : kRestoreFailed);
        EXPECT_EQ(ReadFileBytes(c.origin), c.restored);
    }
    EXPECT_TRUE(m_stick.Exists("cut.exe") && NewQuarantineFiles().empty());
}

TEST_F(QuarantineTest, RestoreGoesToTheDesktopWhenTheOriginIsTakenOrGoneAndNeverOverwrites) {
    std::string game = Put("game.exe", "quarantined"), report = Put("docs\\report.js", "alert");
    ASSERT_TRUE(QuarantineAndDeleteFile(game.c_str()) && QuarantineAndDeleteFile(report.c_str()));
    Put("game.exe", "new file at the origin");
    EXPECT_EQ(RestoreQuarantinedFile(Quarantined("game.exe.kv").c_str()), kRestoredToDesktop);
    EXPECT_EQ(ReadFileBytes(m_desktop + "game.exe"), "quarantined");
    // Replaced once the shell has read the new desktop file for its icon.
    ASSERT_TRUE(WaitUntil([&] { return WriteFileBytes(m_desktop + "game.exe", "changed"); }, 3000));
    EXPECT_EQ(RestoreQuarantinedFile(Quarantined("game.exe.kv").c_str()), kRestoreFailed);
    EXPECT_EQ(ReadFileBytes(m_desktop + "game.exe"), "changed");
    EXPECT_EQ(ReadFileBytes(game), "new file at the origin");
    ASSERT_TRUE(m_stick.Remove());
    EXPECT_EQ(RestoreQuarantinedFile(Quarantined("report.js.kv").c_str()), kRestoredToDesktop);
    EXPECT_EQ(ReadFileBytes(m_desktop + "report.js"), "alert");
    EXPECT_FALSE(m_stick.Exists("docs\\report.js"));
}

TEST_F(QuarantineTest, FailuresInsideTheCopyLeaveNoPartialFileAndACodedFileIsNotCodedAgain) {
    std::string source = Put("five.exe", AllByteValues(20)), coded = m_stick.FolderPath("five.kv");
    // The n-th block read or write fails; a failed copy removes what it wrote.
    auto copy = [&](const std::string& file, int failingRead, int failingWrite, bool into) {
        SetCopyFaultForTesting(failingRead, failingWrite);
        int result = QuarantineCopyFile(file.c_str(), coded.c_str(), into);
        EXPECT_EQ(m_stick.Exists(into ? "five.kv" : "restored.exe"), result == kCopyDone) << result;
        return result;
    };
    std::string old = Put("old.exe.kv", HandBuilt("E:\\old.exe", "MZ"));
    EXPECT_EQ(copy(source, 3, 0, true), kCopySourceFailed);
    EXPECT_EQ(copy(source, 0, 2, true), kCopyTargetFailed);
    EXPECT_EQ(copy(old, 0, 0, true), kCopyAlreadyCoded);
    ASSERT_EQ(copy(source, 0, 0, true), kCopyDone);
    EXPECT_EQ(copy("E:\\restored.exe", 4, 0, false), kCopyNotQuarantine);
    EXPECT_EQ(copy("E:\\restored.exe", 0, 1, false), kCopySourceFailed);
    // Deleted all the same, leaving no copy: neither a broken one nor a second coding.
    std::string threat = Put("threat.exe", AllByteValues(20));
    EXPECT_TRUE(QuarantineAndDeleteFile(threat.c_str()) && !m_stick.Exists("threat.exe"));
    SetCopyFaultForTesting(0, 0);
    EXPECT_TRUE(QuarantineAndDeleteFile(old.c_str()) && !m_stick.Exists("old.exe.kv"));
    EXPECT_TRUE(NewQuarantineFiles().empty());
}
