#include "usb/ScanJob.h"

#include "framework/Strings.h"
#include "framework/Thread.h"
#include "res/resource.h"
#include "usb/DriveList.h"
#include "usb/DriveScan.h"

namespace {
void AddFoundRow(ScanJob& job, const std::string& path) {
    ++job.threatsFound;
    std::lock_guard<std::mutex> lock(job.mutex);
    job.pendingRows.push_back(path);
}
}  // namespace

std::vector<std::string> ScanJob::TakeRows() {
    std::lock_guard<std::mutex> lock(mutex);
    return std::exchange(pendingRows, {});
}

std::string ScanJob::CurrentFolder() {
    std::lock_guard<std::mutex> lock(mutex);
    return currentFolder;
}

UINT RunScanJob(ScanJob& job) {
    job.link->Post(WM_APP_SCAN_BEGIN);
    char letters[kMaxDriveLetters] = {};
    int count = FindUsbDrives(letters);
    if (count == 0) {
        AfxMessageBox(IDS_USB_NOT_FOUND, MB_OK);
        job.m_bScanning = false;
        job.link->Post(WM_APP_SCAN_DONE, 1);
        return 0;
    }
    job.link->Post(WM_APP_SCAN_STARTED);
    ScanCallbacks callbacks;
    callbacks.onSuspicious = [&](const std::string& path) { AddFoundRow(job, path); };
    callbacks.onFolder = [&](const std::string& folder) {
        std::lock_guard<std::mutex> lock(job.mutex);
        job.currentFolder = folder;
    };
    callbacks.onFile = [&] { ++job.filesExamined; };
    for (int i = 0; i < count && job.m_bScanning; ++i)
        ScanDrive(letters[i], job.m_bScanning, callbacks);
    job.m_bScanning = false;
    job.link->Post(WM_APP_SCAN_DONE, 0);
    return 0;
}

bool StartScanJob(std::shared_ptr<ScanJob> job) {
    return StartJobThread<ScanJob, RunScanJob>(std::move(job));
}
