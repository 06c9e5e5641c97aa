// The cleanup's folder walk on folders of the test's own; links, held files and the URL cache
// are shown end to end by the page's test.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/Text.h"
#include "repair/FolderCleanup.h"
#include "res/resource.h"
#include "tests/support/TestDrives.h"

namespace {
using Rows = std::vector<std::pair<std::string, UINT>>;

bool WriteWide(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    return ScopedHandle(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, attributes, nullptr))
        .valid();
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

struct FolderCleanupTest : ::testing::Test {
    void SetUp() override { DeleteTree(m_base); }
    void TearDown() override {
        Clean(m_temp);
        DeleteTree(m_base);
    }
    // The rows listed, sorted; the walk stops once the listener has `stopAfter` rows.
    Rows Clean(const std::string& folder, size_t stopAfter = SIZE_MAX) {
        Rows rows;
        m_searched = DeleteFolderFiles(folder, [&](const std::string& content, UINT state) {
            rows.emplace_back(content, state);
            return rows.size() < stopAfter;
        });
        std::ranges::sort(rows);
        return rows;
    }

    std::string m_base = GetModuleDirectory() + "cleanup-test", m_temp = m_base + "\\";
    std::wstring m_wide = Utf8ToWide(m_temp);
    bool m_searched = false;
};
}  // namespace

TEST_F(FolderCleanupTest, DeletesEveryFileOfAnyNameAndAttributesButNoFolderUntilTheListenerGoes) {
    EXPECT_TRUE(Clean(m_temp + "missing\\").empty());
    EXPECT_FALSE(m_searched);
    ASSERT_TRUE(CreateFolders(m_temp + "empty\\a\\b") && CreateFolders(m_temp + "sub\\deep"));
    ASSERT_TRUE(WriteFileBytes(m_temp + "sub\\deep\\nested.tmp", "x"));
    ASSERT_TRUE(::SetFileAttributesA((m_temp + "sub").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteWide(m_wide + L"Фото.exe"));
    ASSERT_TRUE(WriteWide(m_wide + L"protected.tmp",
                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(Clean(m_temp), (Rows{{m_temp + "protected.tmp", IDS_DELETED},
                                   {m_temp + "sub\\deep\\nested.tmp", IDS_DELETED},
                                   {m_temp + "Фото.exe", IDS_DELETED}}));
    EXPECT_TRUE(m_searched);
    EXPECT_EQ(ListFolder(m_temp).size(), 2u);
    EXPECT_TRUE(Exists(m_wide + L"empty\\a\\b") && Exists(m_wide + L"sub\\deep"));
    // A listener that is gone (the page destroyed) stops the walk.
    for (const char* name : {"one.tmp", "two.tmp", "three.tmp"})
        ASSERT_TRUE(WriteFileBytes(m_temp + name, "x"));
    EXPECT_EQ(Clean(m_temp, 1).size(), 1u);
    EXPECT_EQ(ListFolder(m_temp).size(), 2u + 2u);  // two files and two folders left
}

TEST_F(FolderCleanupTest, PathsBeyondTheLimitAreSkippedNotCut) {
    // A chain of 100-character folder names reaching past the limit; the last but one still
    // holds a deletable file.
    std::vector<std::wstring> chain{m_wide};
    ::CreateDirectoryW(m_wide.c_str(), nullptr);
    while (chain.back().size() <= kMaxCleanupPath - 20) {
        chain.push_back(chain.back() + std::wstring(99, L'd') + L"\\");
        ::CreateDirectoryW(ExtendedLengthPath(chain.back()).c_str(), nullptr);
    }
    const std::wstring inside = chain[chain.size() - 2] + L"inside.tmp";
    const std::wstring beyond = chain.back() + L"beyond.tmp";
    ASSERT_TRUE(inside.size() > MAX_PATH && inside.size() <= kMaxCleanupPath);
    ASSERT_GT(beyond.size(), kMaxCleanupPath);
    ASSERT_TRUE(WriteWide(inside) && WriteWide(beyond));
    EXPECT_EQ(Clean(m_temp), (Rows{{WideToUtf8(inside), IDS_DELETED}}));
    EXPECT_FALSE(Exists(inside));
    EXPECT_TRUE(Exists(beyond));
}
