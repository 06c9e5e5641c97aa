// The repair tools' rows on their way from the worker to the page, which takes them in turns
// while the worker goes on listing.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "repair/RepairJob.h"
#include "res/resource.h"

namespace {
using Rows = std::vector<std::vector<std::string>>;

// A window of the test's thread standing in for the page: it only collects posts.
struct PageStandIn {
    PageStandIn()
        : window(::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr,
                                 nullptr)) {}
    ~PageStandIn() { ::DestroyWindow(window); }
    int PostsOf(UINT message) {
        MSG msg;
        int count = 0;
        while (::PeekMessageA(&msg, window, message, message, PM_REMOVE)) ++count;
        return count;
    }
    HWND window;
};
}  // namespace

TEST(RepairJob, RowsTakenInTurnsArriveWholeInOrderAndOnlyTheFirstWakesThePage) {
    PageStandIn page;
    RepairJob job(WorkerLink::Create(page.window));
    constexpr int kRows = 5000;
    std::atomic<bool> listing{true};
    std::thread worker([&] {
        for (int i = 0; i < kRows; ++i)
            job.List("file" + std::to_string(i), i % 3 ? IDS_DELETED : IDS_DELETE_FAILED);
        listing = false;
    });
    Rows shown;
    for (bool last = false; !last;) {
        last = !listing;
        for (auto& row : job.TakeRows()) shown.push_back(std::move(row));
    }
    worker.join();

    ASSERT_EQ(shown.size(), size_t(kRows));
    for (int i = 0; i < kRows; ++i)
        ASSERT_EQ(shown[i], (std::vector<std::string>{"file" + std::to_string(i),
                                                      i % 3 ? "Deleted" : "Delete failed"}))
            << i;
    EXPECT_EQ(page.PostsOf(WM_APP_REPAIR_ROWS), 1);
    EXPECT_TRUE(job.TakeRows().empty());
}

TEST(RepairJob, AGonePageStopsTheWorkerAndIsNeverPosted) {
    PageStandIn page;
    RepairJob job(WorkerLink::Create(page.window));
    job.link->Cut();
    EXPECT_FALSE(job.List("file", IDS_DELETED));
    EXPECT_EQ(page.PostsOf(WM_APP_REPAIR_ROWS), 0);
}
