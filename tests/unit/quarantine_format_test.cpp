#include <gtest/gtest.h>
#include <windows.h>

#include <cstring>
#include <string>

#include "tests/unit/quarantine_test_fixture.h"

namespace {

// A quarantine file built from the layout alone, not by the code under test.
std::string HandBuilt(const std::string& origin, const std::string& content) {
    std::string bytes = "kestrelvane" + origin + "\r\n";
    for (char c : content)
        bytes.push_back(static_cast<char>((static_cast<unsigned char>(c) + 29) % 256));
    return bytes;
}

}  // namespace

TEST_F(QuarantineTest, HandBuiltFileRestoresToItsOrigin) {
    ASSERT_TRUE(m_stick.MakeFolder("docs"));
    std::string origin = m_stick.Path("docs\\hand.exe");
    std::string content = AllByteValues(9);
    std::string coded = QuarantinePath("hand.kv");
    char folder[kPathBufferSize] = {};
    ASSERT_TRUE(GetQuarantineDirectory(folder));
    ASSERT_TRUE(WriteFileBytes(coded, HandBuilt(origin, content)));

    char read[kPathBufferSize] = {};
    ASSERT_TRUE(ReadQuarantineOrigin(coded.c_str(), read));
    EXPECT_EQ(std::string(read), origin);
    EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
    EXPECT_EQ(ReadFileBytes(origin), content);
}

TEST_F(QuarantineTest, WrittenFileFollowsTheLayoutByteForByte) {
    std::string content = AllByteValues(4) + "end";
    std::string source = Put("bytes.exe", content);
    std::string coded = m_stick.FolderPath("bytes.kv");
    ASSERT_EQ(QuarantineCopyFile(source.c_str(), coded.c_str(), true), kCopyDone);
    EXPECT_EQ(ReadFileBytes(source), content) << "quarantining alone deletes nothing";

    std::string bytes = ReadFileBytes(coded);
    ASSERT_EQ(bytes.size(), 11 + source.size() + 2 + content.size());
    EXPECT_EQ(bytes.substr(0, 11), "kestrelvane");
    EXPECT_EQ(bytes.substr(11, source.size()), source);
    EXPECT_EQ(bytes[11 + source.size()], '\x0D');
    EXPECT_EQ(bytes[12 + source.size()], '\x0A');
    size_t start = 13 + source.size();
    for (size_t i = 0; i < content.size(); ++i) {
        unsigned expected = (static_cast<unsigned char>(content[i]) + 0x1D) & 0xFF;
        ASSERT_EQ(static_cast<unsigned char>(bytes[start + i]), expected) << "content byte " << i;
    }
}

TEST_F(QuarantineTest, FileCutInsideItsPathRestoresEmpty) {
    std::string origin = m_stick.Path("cut.exe");
    std::string coded = m_stick.FolderPath("cut.kv");
    ASSERT_TRUE(WriteFileBytes(coded, "kestrelvane" + origin));
    char read[kPathBufferSize] = {};
    ASSERT_TRUE(ReadQuarantineOrigin(coded.c_str(), read));
    EXPECT_EQ(std::string(read), origin);
    EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
    EXPECT_TRUE(Exists(origin));
    EXPECT_EQ(ReadFileBytes(origin), "");
}

TEST_F(QuarantineTest, DamagedOrForeignFilesAreRejectedSafely) {
    struct Case {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"4000-character path", HandBuilt("E:\\" + std::string(3997, 'p'), "MZ")},
        {"256-character path", HandBuilt("E:\\" + std::string(253, 'p'), "MZ")},
        {"no CR within the path limit", "kestrelvane" + std::string(300, 'q')},
        {"marker in another case", HandBuilt("E:\\x.exe", "MZ").replace(0, 1, "K")},
        {"shorter than the marker", "kestrel"},
        {"empty", ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        std::string coded = m_stick.FolderPath("damaged.kv");
        ASSERT_TRUE(WriteFileBytes(coded, c.bytes));
        // A guard past the 256-byte buffer shows that nothing is overrun.
        char origin[kPathBufferSize + 16];
        std::memset(origin, '#', sizeof(origin));
        EXPECT_FALSE(ReadQuarantineOrigin(coded.c_str(), origin));
        for (char byte : origin) ASSERT_EQ(byte, '#');
        EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoreFailed);

        std::string target = m_stick.Path("target.exe");
        EXPECT_EQ(QuarantineCopyFile(target.c_str(), coded.c_str(), false), kCopyNotQuarantine);
        EXPECT_FALSE(Exists(target));
    }
    EXPECT_TRUE(NewQuarantineFiles().empty());
}

TEST_F(QuarantineTest, CopyResultCodesForPathsAndFiles) {
    std::string source = Put("a.exe", "MZ");
    std::string coded = m_stick.FolderPath("a.kv");
    std::string tooLong = "E:\\" + std::string(253, 'x');
    ASSERT_EQ(tooLong.size(), kPathBufferSize);
    for (bool into : {true, false}) {
        SCOPED_TRACE(into ? "into quarantine" : "restore");
        EXPECT_EQ(QuarantineCopyFile(nullptr, coded.c_str(), into), kCopyMissingPath);
        EXPECT_EQ(QuarantineCopyFile(source.c_str(), nullptr, into), kCopyMissingPath);
        EXPECT_EQ(QuarantineCopyFile("", coded.c_str(), into), kCopyMissingPath);
        EXPECT_EQ(QuarantineCopyFile(source.c_str(), tooLong.c_str(), into), kCopyMissingPath);
        EXPECT_EQ(QuarantineCopyFile(tooLong.c_str(), coded.c_str(), into), kCopyMissingPath);
    }
    EXPECT_EQ(QuarantineCopyFile(m_stick.Path("none.exe").c_str(), coded.c_str(), true),
              kCopySourceFailed);
    EXPECT_EQ(QuarantineCopyFile(source.c_str(), m_stick.Path("no\\such\\a.kv").c_str(), true),
              kCopyTargetFailed);
    ASSERT_EQ(QuarantineCopyFile(source.c_str(), coded.c_str(), true), kCopyDone);

    EXPECT_EQ(QuarantineCopyFile(source.c_str(), m_stick.Path("none.kv").c_str(), false),
              kCopyTargetFailed);
    EXPECT_EQ(QuarantineCopyFile(source.c_str(), coded.c_str(), false), kCopySourceFailed)
        << "the target exists";
    EXPECT_EQ(ReadFileBytes(source), "MZ");
    EXPECT_EQ(QuarantineCopyFile(m_stick.Path("gone\\a.exe").c_str(), coded.c_str(), false),
              kCopySourceFailed);
}

TEST_F(QuarantineTest, FailuresInsideTheCopyLeaveNoPartialFile) {
    std::string content = AllByteValues(20);  // five blocks and a bit
    std::string source = Put("five.exe", content);
    std::string coded = m_stick.FolderPath("five.kv");
    std::string restored = m_stick.Path("restored.exe");

    SetCopyFaultForTesting(3, 0);
    EXPECT_EQ(QuarantineCopyFile(source.c_str(), coded.c_str(), true), kCopySourceFailed);
    EXPECT_FALSE(Exists(coded));
    SetCopyFaultForTesting(0, 2);
    EXPECT_EQ(QuarantineCopyFile(source.c_str(), coded.c_str(), true), kCopyTargetFailed);
    EXPECT_FALSE(Exists(coded));

    SetCopyFaultForTesting(0, 0);
    ASSERT_EQ(QuarantineCopyFile(source.c_str(), coded.c_str(), true), kCopyDone);
    SetCopyFaultForTesting(4, 0);
    EXPECT_EQ(QuarantineCopyFile(restored.c_str(), coded.c_str(), false), kCopyNotQuarantine);
    EXPECT_FALSE(Exists(restored));
    SetCopyFaultForTesting(0, 1);
    EXPECT_EQ(QuarantineCopyFile(restored.c_str(), coded.c_str(), false), kCopySourceFailed);
    EXPECT_FALSE(Exists(restored));

    // The restore tries the desktop too, and leaves nothing at either place.
    ASSERT_TRUE(::DeleteFileA(source.c_str()));
    EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoreFailed);
    EXPECT_FALSE(Exists(source));
    EXPECT_FALSE(Exists(DesktopPath("five.exe")));

    // The threat still goes: the copy is best effort, but no corrupt copy stays behind.
    std::string threat = Put("threat.exe", content);
    EXPECT_TRUE(QuarantineAndDeleteFile(threat.c_str()));
    EXPECT_FALSE(Exists(threat));
    EXPECT_TRUE(NewQuarantineFiles().empty());

    SetCopyFaultForTesting(0, 0);
    EXPECT_EQ(RestoreQuarantinedFile(coded.c_str()), kRestoredToOrigin);
    EXPECT_EQ(ReadFileBytes(source), content);
}
