#pragma once
// The on-demand scan of one drive: every folder, depth first in stack order, judged by the
// scan rule. No window code: the scan page runs it on its worker, tests and the benchmark
// call it directly.
#include <windows.h>

#include <atomic>
#include <functional>
#include <string>

struct ScanCallbacks {
    // Each suspicious file, in walk order.
    std::function<void(const std::string& path)> onSuspicious;
    // Each folder as its walk begins (the root included).
    std::function<void(const std::string& folder)> onFolder;
    // Each file judged.
    std::function<void()> onFile;
};

// Walks drive `letter` while `running` holds, folders and files of any name (paths are
// UTF-8); a path longer than 255 UTF-16 units is skipped, as is a folder that cannot be
// opened or is a link (junction, symbolic link). Returns the suspicious count.
int ScanDrive(char letter, const std::atomic<bool>& running, const ScanCallbacks& callbacks);
