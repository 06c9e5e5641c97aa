// The cleanup's folder walk on folders of the test's own; read-only files, held files, links and
// the URL cache are shown end to end by the page's test.
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
bool WriteWide(const std::wstring& path) {
    return ScopedHandle(::CreateFileW(ExtendedLengthPath(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                      CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr))
        .valid();
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(ExtendedLengthPath(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}
}  // namespace

TEST(FolderCleanupTest, DeletesFilesOfAnyNameButNoFolderSkipsPathsBeyondTheLimitAndStopsWhenAsked) {
    const std::string base = GetModuleDirectory() + "cleanup-test", temp = base + "\\";
    const std::wstring wide = Utf8ToWide(temp);
    using Rows = std::vector<std::pair<std::string, UINT>>;
    // The rows listed, sorted; the walk stops once the listener has `stopAfter` rows.
    auto clean = [&](size_t stopAfter = SIZE_MAX) {
        Rows rows;
        DeleteFolderFiles(temp, [&](const std::string& content, UINT state) {
            rows.emplace_back(content, state);
            return rows.size() < stopAfter;
        });
        std::ranges::sort(rows);
        return rows;
    };
    DeleteTree(base);
    EXPECT_TRUE(clean().empty()) << "a missing folder";
    ASSERT_TRUE(CreateFolders(temp + "sub\\deep"));
    // A chain of 100-character folder names reaching past the 1023-character limit, beyond
    // MAX_PATH long before; the last but one holds a deletable file.
    std::vector<std::wstring> chain{wide};
    while (chain.back().size() <= kMaxCleanupPath - 20) {
        chain.push_back(chain.back() + std::wstring(99, L'd') + L"\\");
        ::CreateDirectoryW(ExtendedLengthPath(chain.back()).c_str(), nullptr);
    }
    const std::wstring inside = chain[chain.size() - 2] + L"inside.tmp";
    const std::wstring beyond = chain.back() + L"beyond.tmp";
    ASSERT_TRUE(WriteWide(inside) && WriteWide(beyond) && WriteWide(wide + L"Фото.exe"));
    ASSERT_TRUE(WriteFileBytes(temp + "sub\\deep\\nested.tmp", "x"));
    EXPECT_EQ(clean(), (Rows{{WideToUtf8(inside), IDS_DELETED},
                             {temp + "sub\\deep\\nested.tmp", IDS_DELETED},
                             {temp + "Фото.exe", IDS_DELETED}}));
    EXPECT_TRUE(clean().empty()) << "every listed file is gone";
    EXPECT_TRUE(Exists(beyond) && Exists(wide + L"sub\\deep"));
    // A listener that is gone (the page destroyed) stops the walk.
    for (const char* name : {"one.tmp", "two.tmp"}) ASSERT_TRUE(WriteFileBytes(temp + name, "x"));
    EXPECT_EQ(clean(1).size(), 1u);
    EXPECT_EQ(clean().size(), 1u);
    DeleteTree(base);
}
