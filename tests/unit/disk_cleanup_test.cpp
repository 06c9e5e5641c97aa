// The cleanup's folder walk on folders of the test's own; read-only files, held files, links and
// the URL cache are shown end to end by the page's test.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <string>
#include <utility>
#include <vector>

#include "framework/FileSystem.h"
#include "repair/FolderCleanup.h"
#include "res/resource.h"
#include "tests/support/TestDrives.h"

TEST(FolderCleanupTest, DeletesFilesOfAnyNameButNoFolderSkipsPathsBeyondTheLimitAndStopsWhenAsked) {
    const std::string base = ModuleDirectoryUtf8() + "cleanup-test", temp = base + "\\";
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
    // Folder names of 100 characters, far beyond MAX_PATH: a file within the 1023-character
    // limit is deleted, one past it is skipped, never cut; folders stay (also the page's test).
    std::string folder = temp;
    while (folder.size() < kMaxCleanupPath - 110) folder += std::string(99, 'd') + "\\";
    const std::string inside = folder + "inside.tmp", last = folder + std::string(99, 'd');
    const std::string beyond = last + "\\beyond-the-limit.tmp", extended = "\\\\?\\";
    const std::string named = temp + "Фото.exe";
    ASSERT_TRUE(CreateFolders(extended + last));
    for (const std::string& file : {extended + inside, extended + beyond, named})
        ASSERT_TRUE(WriteFileBytes(file, "x")) << file;
    EXPECT_EQ(clean(), (Rows{{inside, IDS_DELETED}, {named, IDS_DELETED}}));
    EXPECT_TRUE(clean().empty()) << "every listed file is gone";
    EXPECT_EQ(ListFolder(extended + last), std::vector<std::string>{"beyond-the-limit.tmp"});
    // A listener that is gone (the page destroyed) stops the walk.
    for (const char* name : {"one.tmp", "two.tmp"}) ASSERT_TRUE(WriteFileBytes(temp + name, "x"));
    EXPECT_EQ(clean(1).size(), 1u);
    EXPECT_EQ(clean().size(), 1u);
    DeleteTree(base);
}
