// The repair tools' rows on their way from the worker to the page, which takes them in turns
// while the worker goes on listing. That the page is woken once and keeps answering: the
// cleanup benchmark.
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

#include "repair/RepairJob.h"
#include "res/resource.h"

TEST(RepairJob, RowsTakenInTurnsArriveWholeInOrderAndAGonePageStopsTheWorker) {
    // A window of the test's thread stands in for the page.
    HWND page =
        ::CreateWindowA("STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    RepairJob job(WorkerLink::Create(page));
    constexpr int kRows = 5000;
    std::atomic<bool> listing{true};
    std::thread worker([&] {
        for (int i = 0; i < kRows; ++i)
            job.List(std::to_string(i), i % 3 ? IDS_DELETED : IDS_DELETE_FAILED);
        listing = false;
    });
    std::vector<std::vector<std::string>> shown, listed;
    for (bool last = false; !last;) {
        last = !listing;
        for (auto& row : job.TakeRows()) shown.push_back(std::move(row));
    }
    worker.join();
    for (int i = 0; i < kRows; ++i)
        listed.push_back({std::to_string(i), i % 3 ? "Deleted" : "Delete failed"});
    EXPECT_EQ(shown, listed);
    job.link->Cut();
    EXPECT_FALSE(job.List("file", IDS_DELETED));
    ::DestroyWindow(page);
}
