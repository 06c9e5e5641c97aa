// The cleanup's engines on folders of the test's own: the folder walk and the URL cache.
#include <gtest/gtest.h>
#include <windows.h>
#include <wininet.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/Text.h"
#include "repair/DiskCleanup.h"
#include "repair/FolderCleanup.h"
#include "res/resource.h"
#include "tests/support/TestDrives.h"
#include "tests/support/WineTools.h"

namespace {
using Rows = std::vector<std::pair<std::string, UINT>>;

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool WriteWide(const std::wstring& path, DWORD attributes = FILE_ATTRIBUTE_NORMAL) {
    ScopedHandle file(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                    CREATE_ALWAYS, attributes, nullptr));
    return file.valid();
}

// A chain of 100-character folder names below `base` reaching past `length` characters; the
// folders on the way, each ending in a backslash.
std::vector<std::wstring> FolderChain(const std::wstring& base, size_t length) {
    std::vector<std::wstring> folders;
    std::wstring path = base;
    while (path.size() <= length) {
        path += std::wstring(99, L'd') + L"\\";
        ::CreateDirectoryW(ExtendedLengthPath(path).c_str(), nullptr);
        folders.push_back(path);
    }
    return folders;
}

struct FolderCleanupTest : ::testing::Test {
    void SetUp() override {
        m_base = GetModuleDirectory() + "cleanup-test";
        DeleteTree(m_base);
        ASSERT_TRUE(CreateFolders(Temp("empty\\a\\b")) && CreateFolders(Temp("sub\\deep")) &&
                    CreateFolders(m_base + "\\documents"));
    }
    void TearDown() override {
        // The link goes before anything walks the tree, which would follow it.
        RemoveHostSymlink(Temp("link"));
        DeleteFolderFiles(m_base, [](const std::string&, UINT) { return true; });
        DeleteTree(m_base);
    }
    std::string Temp(const std::string& relative = "") const {
        return m_base + "\\temp\\" + relative;
    }
    Rows Clean(const std::string& folder, size_t stopAfter = SIZE_MAX) {
        Rows rows;
        m_searched = DeleteFolderFiles(folder, [&](const std::string& content, UINT state) {
            rows.emplace_back(content, state);
            return rows.size() < stopAfter;
        });
        std::sort(rows.begin(), rows.end());
        return rows;
    }

    std::string m_base;
    bool m_searched = false;
};
}  // namespace

TEST(FolderCleanupPaths, LongPathsTakeTheExtendedForm) {
    const std::wstring longTail(300, L'x');
    EXPECT_EQ(ExtendedLengthPath(L"C:\\short\\"), L"C:\\short\\");
    EXPECT_EQ(ExtendedLengthPath(L"C:\\" + longTail), L"\\\\?\\C:\\" + longTail);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\server\\share\\" + longTail),
              L"\\\\?\\UNC\\server\\share\\" + longTail);
    EXPECT_EQ(ExtendedLengthPath(L"\\\\?\\C:\\" + longTail), L"\\\\?\\C:\\" + longTail);
}

TEST_F(FolderCleanupTest, DeletesEveryFileButNoFolderAndNothingBehindALink) {
    ASSERT_TRUE(WriteFileBytes(Temp("plain.tmp"), "x") &&
                WriteFileBytes(Temp("sub\\deep\\nested.tmp"), "x") &&
                WriteFileBytes(m_base + "\\documents\\letter.doc", "keep"));
    ASSERT_TRUE(::SetFileAttributesA(Temp("sub").c_str(), FILE_ATTRIBUTE_READONLY));
    const std::wstring wideTemp = Utf8ToWide(Temp());
    ASSERT_TRUE(WriteWide(wideTemp + L"\u0424\u043e\u0442\u043e.exe"));
    ASSERT_TRUE(WriteWide(wideTemp + L"protected.tmp",
                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    ASSERT_TRUE(WriteFileBytes(Temp("held.tmp"), "x"));
    ScopedHandle held(::CreateFileA(Temp("held.tmp").c_str(), GENERIC_READ, 0, nullptr,
                                    OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(held.valid());
    ASSERT_TRUE(MakeHostSymlink(m_base + "\\documents", Temp("link")));

    Rows rows = Clean(Temp());
    EXPECT_TRUE(m_searched);
    EXPECT_EQ(rows, (Rows{{Temp("held.tmp"), IDS_DELETE_FAILED},
                          {Temp("plain.tmp"), IDS_DELETED},
                          {Temp("protected.tmp"), IDS_DELETED},
                          {Temp("sub\\deep\\nested.tmp"), IDS_DELETED},
                          {Temp("\xd0\xa4\xd0\xbe\xd1\x82\xd0\xbe.exe"), IDS_DELETED}}));
    EXPECT_EQ(ReadFileBytes(m_base + "\\documents\\letter.doc"), "keep");
    for (const char* folder : {"empty\\a\\b", "sub\\deep", "link"})
        EXPECT_NE(::GetFileAttributesA(Temp(folder).c_str()), INVALID_FILE_ATTRIBUTES) << folder;
    held.reset();
    EXPECT_EQ(Clean(Temp()), (Rows{{Temp("held.tmp"), IDS_DELETED}}));
}

TEST_F(FolderCleanupTest, PathsBeyondTheLimitAreSkippedNotCut) {
    const std::wstring wideTemp = Utf8ToWide(Temp());
    std::vector<std::wstring> chain = FolderChain(wideTemp, kMaxCleanupPath - 20);
    // The last folder reaches past the limit; the one before it still holds a deletable file.
    ASSERT_GE(chain.size(), 3u);
    const std::wstring inside = chain[chain.size() - 2] + L"inside.tmp";
    const std::wstring beyond = chain.back() + L"beyond.tmp";
    ASSERT_TRUE(inside.size() > MAX_PATH && inside.size() <= kMaxCleanupPath);
    ASSERT_GT(beyond.size(), kMaxCleanupPath);
    ASSERT_TRUE(WriteWide(inside) && WriteWide(beyond));

    EXPECT_EQ(Clean(Temp()), (Rows{{WideToUtf8(inside), IDS_DELETED}}));
    EXPECT_FALSE(Exists(inside));
    EXPECT_TRUE(Exists(beyond));
    ::DeleteFileW(ExtendedLengthPath(beyond).c_str());
    for (auto folder = chain.rbegin(); folder != chain.rend(); ++folder)
        ::RemoveDirectoryW(ExtendedLengthPath(*folder).c_str());
}

TEST_F(FolderCleanupTest, AMissingFolderListsNothingAndAGoneListenerStopsTheWalk) {
    EXPECT_TRUE(Clean(Temp("missing\\")).empty());
    EXPECT_FALSE(m_searched);
    for (const char* name : {"one.tmp", "two.tmp", "three.tmp"})
        ASSERT_TRUE(WriteFileBytes(Temp(name), "x"));
    EXPECT_EQ(Clean(Temp(), 1).size(), 1u);
    EXPECT_EQ(ListFolder(Temp()).size(), 2u + 2u);  // two files and two folders left
}

TEST(UrlCacheCleanup, DeletesAnEntryLargerThanTheBufferAndThenFindsNone) {
    const wchar_t url[] = L"http://cache.test/large-entry.html";
    wchar_t file[MAX_PATH] = {};
    ASSERT_TRUE(::CreateUrlCacheEntryW(url, 0, L"html", file, 0));
    ASSERT_TRUE(WriteWide(file));
    // Headers of 6,000 bytes make the entry's record larger than the first 4,096-byte read.
    std::wstring headers = L"X-Padding: " + std::wstring(6000, L'p') + L"\r\n\r\n";
    FILETIME none = {};
    ASSERT_TRUE(::CommitUrlCacheEntryW(url, file, none, none, NORMAL_CACHE_ENTRY, headers.data(),
                                       static_cast<DWORD>(headers.size()), nullptr, nullptr));
    Rows rows;
    auto record = [&](const std::string& content, UINT state) {
        rows.emplace_back(content, state);
        return true;
    };
    EXPECT_TRUE(ClearUrlCache(record));
    EXPECT_NE(std::find(rows.begin(), rows.end(),
                        std::make_pair(WideToUtf8(file), UINT{IDS_IE_CACHE_DELETED})),
              rows.end());
    DWORD size = 0;
    EXPECT_FALSE(::GetUrlCacheEntryInfoW(url, nullptr, &size));
    EXPECT_EQ(::GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    rows.clear();
    EXPECT_TRUE(ClearUrlCache(record));
    EXPECT_TRUE(rows.empty());
}
