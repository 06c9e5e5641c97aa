// The quarantine's format and store on a stick E:, checked against files built from the layout;
// listing, restoring to the desktop and emptying are shown by the page's test.
#include <gtest/gtest.h>
#include <windows.h>

#include <numeric>
#include <string>
#include <vector>

#include "framework/FileSystem.h"
#include "framework/Text.h"
#include "quarantine/QuarantineFormat.h"
#include "quarantine/QuarantineStore.h"
#include "tests/support/TestDrives.h"

static std::string AllByteValues(size_t repeats) {
    std::string bytes(repeats * 256, '\0');
    std::iota(bytes.begin(), bytes.end(), '\0');
    return bytes;
}

// A quarantine file built from the layout alone, not by the code under test: the origin as
// the marker's kind stores it (ANSI after "kestrelvane", UTF-8 after "kestrelutf8").
static std::string HandBuilt(const std::string& origin, std::string content,
                             const std::string& marker = "kestrelvane") {
    for (char& c : content) c = static_cast<char>(c + 0x1D);
    return marker + origin + "\r\n" + content;
}

// Names the code page spells keep today's bytes; others are stored in UTF-8 after their marker.
TEST(QuarantineTest, RoundTripsKeepEveryByteInTheWrittenLayoutAndEverySameNamedCopy) {
    TestDrive stick('E', DriveKind::Removable);
    const std::string folder = ModuleDirectoryUtf8() + "quarantine\\";
    const DWORD hidden = FILE_ATTRIBUTE_HIDDEN;
    struct {
        const char *name, *coded;
        std::string content;
        DWORD attributes = FILE_ATTRIBUTE_NORMAL;
        const char* marker = "kestrelvane";
        std::string stored{};  // the origin as the file stores it, when not as written
    } cases[] = {
        {"empty.exe", "empty.exe.kv", ""},
        {"autorun.inf", "autorun.inf.kv", "[autorun]\r\nopen=x.exe",
         FILE_ATTRIBUTE_READONLY | hidden | FILE_ATTRIBUTE_SYSTEM},
        {"big.exe", "big.exe.kv", AllByteValues(50 << 12)},  // 50 MB: blocks of 1000 and a part
        {"sub\\empty.exe", "empty.exe (2).kv", "second"},
        {"other\\EMPTY.EXE", "EMPTY.EXE (3).kv", "third"},
        // Code page 1252 spells this one.
        {"café.exe", "café.exe.kv", "MZ", hidden, "kestrelvane", "E:\\caf\xE9.exe"},
        {"😀 party.lnk", "😀 party.lnk.kv", "MZ", hidden, "kestrelutf8"},
    };
    for (const auto& c : cases) DeleteFileUtf8(folder + c.coded);  // left by a failed run
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        ASSERT_TRUE(stick.WriteFile(c.name, c.content, c.attributes));
        std::string threat = stick.Path(c.name), coded = folder + c.coded;
        std::string stored = c.stored.empty() ? threat : c.stored;
        ASSERT_TRUE(QuarantineAndDeleteFile(threat) && !stick.Exists(c.name));
        EXPECT_EQ(RestoreQuarantinedFile(coded), kRestoredToOrigin);
        EXPECT_TRUE(ReadFileBytes(threat) == c.content);
        EXPECT_EQ(FileAttributes(threat) & FILE_ATTRIBUTE_HIDDEN, 0u);
        // The copy stays after the restore.
        EXPECT_TRUE(ReadFileBytes(coded) == HandBuilt(stored, c.content, c.marker));  // 50 MB
    }
    // A path that passes 255 UTF-16 units is refused, never cut: "E:\", 126 surrogate pairs and
    // ".exe" are 259 units.
    std::string emoji;
    for (int i = 0; i < 126; ++i) emoji += "😀";
    EXPECT_FALSE(QuarantineAndDeleteFile(stick.Path(emoji + ".exe")));
    for (const auto& c : cases) DeleteFileUtf8(folder + c.coded);
    ::RemoveDirectoryA(folder.c_str());  // only when empty
}

// Damaged files of both kinds are refused; a failing read or write leaves nothing half-written;
// a file already coded is deleted without being coded again. Writes failing for the whole run:
// the full-disk endurance test.
TEST(QuarantineTest, DamagedFilesAndFailingCopiesHarmNothing) {
    TestDrive stick('E', DriveKind::Removable);
    const std::string coded = stick.FolderPath("hand.kv"), utf8 = "kestrelutf8";
    const std::pair<const char*, std::string> damaged[] = {
        {"256-character path", HandBuilt("E:\\" + std::string(253, 'p'), "MZ")},
        // 255 units: 252 three-byte characters take 756 bytes.
        {"UTF-8 256-unit path",
         HandBuilt("E:\\" + WideToUtf8(std::wstring(253, L'照')), "MZ", utf8)},
        {"UTF-8 no CR within the path limit", utf8 + WideToUtf8(std::wstring(300, L'照'))},
        {"UTF-8 broken sequence", HandBuilt("E:\\\xD0.exe", "MZ", utf8)},
        {"UTF-8 lone surrogate", HandBuilt("E:\\\xED\xA0\x80.exe", "MZ", utf8)},
        {"UTF-8 zero byte", HandBuilt(std::string("E:\\a\0b.exe", 10), "MZ", utf8)},
    };
    for (const auto& [what, bytes] : damaged) {
        SCOPED_TRACE(what);
        ASSERT_TRUE(WriteFileBytes(coded, bytes));
        std::string origin = "untouched";
        EXPECT_TRUE(!ReadQuarantineOrigin(coded, origin) && origin == "untouched");
        EXPECT_EQ(RestoreQuarantinedFile(coded), kRestoreFailed);
    }
    EXPECT_EQ(ListFolder(stick.Folder()), std::vector<std::string>{"hand.kv"});

    const std::string source = "E:\\five.exe", old = "E:\\old.exe.kv", five = "E:\\five.kv";
    ASSERT_TRUE(stick.WriteFile("five.exe", AllByteValues(20)) &&
                stick.WriteFile("old.exe.kv", HandBuilt("E:\\old.exe", "MZ")));
    // The result and whether the copy exists after it, the given read and write failing.
    auto copy = [&](const std::string& file, int failingRead, int failingWrite, bool into) {
        SetCopyFaultForTesting(failingRead, failingWrite);
        const int result = QuarantineCopyFile(file, five, into);
        return std::tuple(result, stick.Exists(into ? "five.kv" : "restored.exe"));
    };
    EXPECT_EQ(copy(source, 3, 0, true), std::tuple(kCopySourceFailed, false));
    EXPECT_EQ(copy(source, 0, 2, true), std::tuple(kCopyTargetFailed, false));
    EXPECT_EQ(copy(old, 0, 0, true), std::tuple(kCopyAlreadyCoded, false));
    EXPECT_EQ(copy(source, 0, 0, true), std::tuple(kCopyDone, true));
    EXPECT_EQ(copy("E:\\restored.exe", 4, 0, false), std::tuple(kCopyNotQuarantine, false));
    EXPECT_EQ(copy("E:\\restored.exe", 0, 1, false), std::tuple(kCopySourceFailed, false));
    SetCopyFaultForTesting(0, 0);
    EXPECT_TRUE(QuarantineAndDeleteFile(old) && !stick.Exists("old.exe.kv"));
    ::RemoveDirectoryA((ModuleDirectoryUtf8() + "quarantine").c_str());  // only when empty
}
