#pragma once
// One on-demand scan on its worker. The page and the worker share only this record: the
// stop flag, the rows found but not yet shown, and the progress the page displays.
#include <windows.h>

#include <atomic>
#include <memory>
#include <mutex>
#include <utility>
#include <string>
#include <vector>

#include "framework/WorkerLink.h"

// Disable the commands / drives found, clear and animate / done (wParam 1 when no drive was
// found).
constexpr UINT WM_APP_SCAN_BEGIN = WM_APP + 30;
constexpr UINT WM_APP_SCAN_STARTED = WM_APP + 31;
constexpr UINT WM_APP_SCAN_DONE = WM_APP + 33;

struct ScanJob {
    std::shared_ptr<WorkerLink> link;
    // Cleared by Stop, by the page going away, and by the worker when it ends.
    std::atomic<bool> m_bScanning{true};
    std::atomic<unsigned long> filesExamined{0};
    std::atomic<int> threatsFound{0};

    std::mutex mutex;
    std::vector<std::string> pendingRows;
    std::string currentFolder;

    // Hands over the rows found since the last call. The page takes them on its progress
    // timer, not per row found: every batch costs the list a redraw.
    std::vector<std::string> TakeRows();
    std::string CurrentFolder();
};

bool StartScanJob(std::shared_ptr<ScanJob> job);
// The worker's body: finds the USB drives and walks them in order.
UINT RunScanJob(ScanJob& job);
