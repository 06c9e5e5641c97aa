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

}  // namespace

TEST(FolderCleanupTest, DeletesFilesOfAnyNameButNoFolderSkipsPathsBeyondTheLimitAndStopsWhenAsked) {
    const std::string base = GetModuleDirectory() + "cleanup-test", temp = base + "\\";
    const std::wstring wide = Utf8ToWide(temp);
    bool searched = false;
    // The rows listed, sorted; the walk stops once the listener has `stopAfter` rows.
    auto clean = [&](const std::string& folder, size_t stopAfter = SIZE_MAX) {
        Rows rows;
        searched = DeleteFolderFiles(folder, [&](const std::string& content, UINT state) {
            rows.emplace_back(content, state);
            return rows.size() < stopAfter;
        });
        std::ranges::sort(rows);
        return rows;
    };
    DeleteTree(base);
    EXPECT_TRUE(clean(temp).empty());
    EXPECT_FALSE(searched) << "a missing folder";
    ASSERT_TRUE(CreateFolders(temp + "empty") && CreateFolders(temp + "sub\\deep"));
    ASSERT_TRUE(WriteFileBytes(temp + "sub\\deep\\nested.tmp", "x"));
    ASSERT_TRUE(::SetFileAttributesA((temp + "sub").c_str(), FILE_ATTRIBUTE_READONLY));
    ASSERT_TRUE(WriteWide(wide + L"Фото.exe"));
    ASSERT_TRUE(WriteWide(wide + L"protected.tmp",
                          FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    EXPECT_EQ(clean(temp), (Rows{{temp + "protected.tmp", IDS_DELETED},
                                 {temp + "sub\\deep\\nested.tmp", IDS_DELETED},
                                 {temp + "Фото.exe", IDS_DELETED}}));
    EXPECT_TRUE(searched);
    EXPECT_TRUE(Exists(wide + L"empty") && Exists(wide + L"sub\\deep"));
    // A listener that is gone (the page destroyed) stops the walk.
    for (const char* name : {"one.tmp", "two.tmp"}) ASSERT_TRUE(WriteFileBytes(temp + name, "x"));
    EXPECT_EQ(clean(temp, 1).size(), 1u);
    EXPECT_EQ(ListFolder(temp).size(), 3u);  // one file and two folders left
    clean(temp);

    // A chain of 100-character folder names reaching past the limit; the last but one still
    // holds a deletable file.
    std::vector<std::wstring> chain{wide};
    while (chain.back().size() <= kMaxCleanupPath - 20) {
        chain.push_back(chain.back() + std::wstring(99, L'd') + L"\\");
        ::CreateDirectoryW(ExtendedLengthPath(chain.back()).c_str(), nullptr);
    }
    const std::wstring inside = chain[chain.size() - 2] + L"inside.tmp";
    const std::wstring beyond = chain.back() + L"beyond.tmp";
    ASSERT_TRUE(inside.size() > MAX_PATH && inside.size() <= kMaxCleanupPath);
    ASSERT_GT(beyond.size(), kMaxCleanupPath);
    ASSERT_TRUE(WriteWide(inside) && WriteWide(beyond));
    EXPECT_EQ(clean(temp), (Rows{{WideToUtf8(inside), IDS_DELETED}}));
    EXPECT_FALSE(Exists(inside));
    EXPECT_TRUE(Exists(beyond));
    clean(temp);
    DeleteTree(base);
}
