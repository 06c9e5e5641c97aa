#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "framework/Handles.h"
#include "tests/unit/quarantine_test_fixture.h"

namespace {

// A cheap, order-sensitive digest, so large files are compared without holding them twice.
struct Digest {
    unsigned long long hash = 1469598103934665603ull;
    unsigned long long size = 0;
    void Add(const char* data, size_t count) {
        for (size_t i = 0; i < count; ++i)
            hash = (hash ^ static_cast<unsigned char>(data[i])) * 1099511628211ull;
        size += count;
    }
    bool operator==(const Digest& other) const = default;
};

Digest DigestOfFile(const std::string& path) {
    Digest digest;
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    if (!file) return {0, ~0ull};
    static char block[1 << 16];
    DWORD got = 0;
    while (::ReadFile(file.get(), block, sizeof(block), &got, nullptr) && got > 0)
        digest.Add(block, got);
    return digest;
}

// Writes `megabytes` of varying bytes in blocks and returns their digest.
Digest WriteLargeFile(const std::string& path, size_t megabytes) {
    Digest digest;
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return {0, ~0ull};
    static char block[1 << 20];
    for (size_t mb = 0; mb < megabytes; ++mb) {
        for (size_t i = 0; i < sizeof(block); ++i)
            block[i] = static_cast<char>((i * 131 + mb * 7 + (i >> 12)) & 0xFF);
        DWORD written = 0;
        if (!::WriteFile(file.get(), block, sizeof(block), &written, nullptr)) return {0, ~0ull};
        digest.Add(block, written);
    }
    return digest;
}

std::string LongFolderPath(char letter, size_t length) {
    std::string path = std::string(1, letter) + ":";
    while (path.size() < length)
        path += "\\" + std::string(std::min<size_t>(60, length - path.size() - 1), 'd');
    return path;
}

}  // namespace

TEST(QuarantineNamesTest, FoldersAndNameParts) {
    char folder[kPathBufferSize] = {};
    ASSERT_TRUE(GetModuleDirectory(folder));
    EXPECT_STREQ(folder, "C:\\koravant\\");
    EXPECT_FALSE(GetModuleDirectory(nullptr));

    struct Case {
        const char* path;
        bool ok;
        const char* name;
    } cases[] = {
        {"E:\\setup.exe", true, "setup.exe"},
        {"E:\\a\\b\\run.vbs", true, "run.vbs"},
        {"E:\\folder\\", true, ""},
        {"setup.exe", false, "untouched"},
        {"", false, "untouched"},
    };
    for (const Case& c : cases) {
        char name[kPathBufferSize] = "untouched";
        EXPECT_EQ(GetFileNamePart(c.path, name), c.ok) << c.path;
        EXPECT_STREQ(name, c.name) << c.path;
    }
    char name[kPathBufferSize] = "untouched";
    EXPECT_FALSE(GetFileNamePart(nullptr, name));
    EXPECT_STREQ(name, "untouched");
}

TEST_F(QuarantineTest, QuarantineFolderIsMadeBesideTheProgram) {
    char folder[kPathBufferSize] = {};
    ASSERT_TRUE(GetQuarantineDirectory(folder));
    EXPECT_EQ(std::string(folder), m_quarantineFolder + "\\");
    EXPECT_NE(::GetFileAttributesA(folder) & FILE_ATTRIBUTE_DIRECTORY, 0u);
    EXPECT_FALSE(GetQuarantineDirectory(nullptr));
}

TEST_F(QuarantineTest, AFileInPlaceOfTheFolderStopsBeforeAnythingIsDeleted) {
    if (m_quarantineExisted && !::RemoveDirectoryA(m_quarantineFolder.c_str()))
        GTEST_SKIP() << "the quarantine folder holds files of another run";
    ASSERT_TRUE(WriteFileBytes(m_quarantineFolder, "not a folder"));
    std::string threat = Put("setup.exe", "MZ");
    char folder[kPathBufferSize] = "untouched";
    EXPECT_FALSE(GetQuarantineDirectory(folder));
    EXPECT_FALSE(QuarantineAndDeleteFile(threat.c_str()));
    EXPECT_TRUE(Exists(threat));
    ::DeleteFileA(m_quarantineFolder.c_str());
    if (m_quarantineExisted) ::CreateDirectoryA(m_quarantineFolder.c_str(), nullptr);
}

TEST_F(QuarantineTest, RoundTripsKeepEveryByte) {
    struct Case {
        const char* name;
        std::string content;
    } cases[] = {
        {"empty.exe", ""},
        {"short.bat", "@echo"},
        {"ten.lnk", "kestrelvan"},  // one byte short of the marker
        {"all.dll", AllByteValues(5) + "tail"},
        {"block.scr", std::string(1000, '\xE3')},
        {"block1.scr", std::string(1001, '\xFF')},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::string threat = Put(c.name, c.content);
        ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
        EXPECT_FALSE(Exists(threat));

        std::string coded = QuarantinePath(std::string(c.name) + ".kv");
        EXPECT_EQ(ReadFileBytes(coded), "kestrelvane" + threat + "\r\n" + Coded(c.content));
        char origin[kPathBufferSize] = {};
        ASSERT_TRUE(ReadQuarantineOrigin(coded.c_str(), origin));
        EXPECT_EQ(std::string(origin), threat);

        EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
        EXPECT_EQ(ReadFileBytes(threat), c.content);
        EXPECT_EQ(::GetFileAttributesA(threat.c_str()) & FILE_ATTRIBUTE_HIDDEN, 0u);
        EXPECT_TRUE(Exists(coded)) << "a restore keeps the quarantine file";
    }
}

TEST_F(QuarantineTest, FiftyMegabytesStreamThrough) {
    std::string threat = m_stick.Path("big.exe");
    Digest original = WriteLargeFile(threat, 50);
    ASSERT_EQ(original.size, 50ull << 20);
    ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    std::string coded = QuarantinePath("big.exe.kv");
    EXPECT_EQ(DigestOfFile(coded).size, original.size + 13 + threat.size());
    ASSERT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
    EXPECT_TRUE(DigestOfFile(threat) == original);
}

TEST_F(QuarantineTest, ProtectedFilesAreQuarantinedAndDeleted) {
    const DWORD protectedAttributes =
        FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    std::string threat = Put("autorun.inf", "[autorun]\r\nopen=x.exe", protectedAttributes);
    ASSERT_EQ(::GetFileAttributesA(threat.c_str()) & protectedAttributes, protectedAttributes);
    ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    EXPECT_FALSE(Exists(threat));
    EXPECT_EQ(RestoreQuarantinedFile(QuarantinePath("autorun.inf.kv").c_str()), kRestoredToOrigin);
    EXPECT_EQ(ReadFileBytes(threat), "[autorun]\r\nopen=x.exe");
}

TEST_F(QuarantineTest, AFileThatIsAlreadyCodedIsDeletedWithoutACopy) {
    std::string threat = Put("old.exe.kv", "kestrelvaneE:\\old.exe\r\n\x6a\x77");
    EXPECT_EQ(QuarantineCopyFile(threat.c_str(), QuarantinePath("x.kv").c_str(), true),
              kCopyAlreadyCoded);
    EXPECT_FALSE(Exists(QuarantinePath("x.kv")));
    EXPECT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    EXPECT_FALSE(Exists(threat));
    EXPECT_TRUE(NewQuarantineFiles().empty());
}

TEST_F(QuarantineTest, MissingAndUnusablePaths) {
    EXPECT_FALSE(QuarantineAndDeleteFile(nullptr));
    EXPECT_FALSE(QuarantineAndDeleteFile(""));
    EXPECT_FALSE(QuarantineAndDeleteFile(m_stick.Path("missing.exe").c_str()));
    ASSERT_TRUE(m_stick.MakeFolder("tools.exe"));
    EXPECT_FALSE(QuarantineAndDeleteFile(m_stick.Path("tools.exe").c_str()));
    EXPECT_TRUE(m_stick.Exists("tools.exe"));
    EXPECT_EQ(RestoreQuarantinedFile(nullptr), kRestoreFailed);
    EXPECT_EQ(RestoreQuarantinedFile(QuarantinePath("missing.kv").c_str()), kRestoreFailed);
    EXPECT_TRUE(NewQuarantineFiles().empty());
}

TEST_F(QuarantineTest, OverlongSourcePathIsRefusedNotTruncated) {
    std::string folder = LongFolderPath('E', 250);
    std::string threat = folder + "\\setup.exe";
    ASSERT_GT(threat.size(), kMaxPathLength);
    ASSERT_TRUE(CreateFolders(folder));
    // The ANSI calls stop at 260 characters; the wide ones reach the file.
    std::wstring wide = L"\\\\?\\" + std::wstring(threat.begin(), threat.end());
    ScopedHandle created(::CreateFileW(wide.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(created);
    created.reset();

    EXPECT_EQ(QuarantineCopyFile(threat.c_str(), QuarantinePath("setup.exe.kv").c_str(), true),
              kCopyMissingPath);
    EXPECT_FALSE(QuarantineAndDeleteFile(threat.c_str()));
    EXPECT_NE(::GetFileAttributesW(wide.c_str()), INVALID_FILE_ATTRIBUTES)
        << "refused, so not deleted either";
    EXPECT_TRUE(NewQuarantineFiles().empty());
}

TEST_F(QuarantineTest, LongestPathThatFitsRoundTrips) {
    std::string threat = LongFolderPath('E', kMaxPathLength - 6) + "\\x.exe";
    ASSERT_EQ(threat.size(), kMaxPathLength);
    ASSERT_TRUE(CreateFolders(threat.substr(0, threat.size() - 6)));
    ASSERT_TRUE(WriteFileBytes(threat, "payload"));
    ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    char origin[kPathBufferSize] = {};
    ASSERT_TRUE(ReadQuarantineOrigin(QuarantinePath("x.exe.kv").c_str(), origin));
    EXPECT_EQ(std::string(origin), threat);
    EXPECT_EQ(RestoreQuarantinedFile(QuarantinePath("x.exe.kv").c_str()), kRestoredToOrigin);
    EXPECT_EQ(ReadFileBytes(threat), "payload");
}

TEST_F(QuarantineTest, SameNamesKeepEveryCopy) {
    std::string first = Put("setup.exe", "first");
    std::string second = Put("sub\\setup.exe", "second");
    std::string third = Put("other\\SETUP.EXE", "third");
    ASSERT_TRUE(QuarantineAndDeleteFile(first.c_str()));
    ASSERT_TRUE(QuarantineAndDeleteFile(second.c_str()));
    ASSERT_TRUE(QuarantineAndDeleteFile(third.c_str()));
    EXPECT_EQ(NewQuarantineFiles(),
              (std::vector<std::string>{"SETUP.EXE (3).kv", "setup.exe (2).kv", "setup.exe.kv"}));
    EXPECT_EQ(RestoreQuarantinedFile(QuarantinePath("setup.exe (2).kv").c_str()),
              kRestoredToOrigin);
    EXPECT_EQ(RestoreQuarantinedFile(QuarantinePath("setup.exe.kv").c_str()), kRestoredToOrigin);
    EXPECT_EQ(RestoreQuarantinedFile(QuarantinePath("SETUP.EXE (3).kv").c_str()),
              kRestoredToOrigin);
    EXPECT_EQ(ReadFileBytes(first), "first");
    EXPECT_EQ(ReadFileBytes(second), "second");
    EXPECT_EQ(ReadFileBytes(third), "third");

    // A direct copy onto an existing name leaves that file as it was.
    ASSERT_TRUE(WriteFileBytes(QuarantinePath("keep.kv"), "precious"));
    EXPECT_EQ(QuarantineCopyFile(first.c_str(), QuarantinePath("keep.kv").c_str(), true),
              kCopyTargetFailed);
    EXPECT_EQ(ReadFileBytes(QuarantinePath("keep.kv")), "precious");
}

TEST_F(QuarantineTest, RestoreGoesToTheDesktopWhenTheOriginIsTakenAndNeverOverwrites) {
    std::string threat = Put("game.exe", "quarantined");
    ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    std::string coded = QuarantinePath("game.exe.kv");
    Put("game.exe", "new file at the origin");

    EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToDesktop);
    EXPECT_EQ(ReadFileBytes(DesktopPath("game.exe")), "quarantined");
    EXPECT_EQ(ReadFileBytes(threat), "new file at the origin");

    ASSERT_TRUE(WriteOnDesktop("game.exe", "changed on the desktop"));
    EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoreFailed);
    EXPECT_EQ(ReadFileBytes(DesktopPath("game.exe")), "changed on the desktop");
    EXPECT_EQ(ReadFileBytes(threat), "new file at the origin");
}

TEST_F(QuarantineTest, RestoreGoesToTheDesktopWhenTheOriginDriveIsGone) {
    std::string threat = Put("docs\\report.js", "alert(1)");
    ASSERT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    ASSERT_TRUE(m_stick.Remove());
    EXPECT_EQ(RestoreQuarantinedFile(QuarantinePath("report.js.kv").c_str()), kRestoredToDesktop);
    EXPECT_EQ(ReadFileBytes(DesktopPath("report.js")), "alert(1)");
    EXPECT_FALSE(m_stick.Exists("docs\\report.js"));
}
