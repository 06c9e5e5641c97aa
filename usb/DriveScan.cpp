#include "usb/DriveScan.h"

#include <vector>

#include "framework/FileSystem.h"
#include "framework/Paths.h"
#include "usb/ThreatRules.h"

namespace {

// Visits one folder's entries: files are judged, sub-folders go on the stack.
int ScanFolder(const std::string& folder, const std::atomic<bool>& running,
               std::vector<std::string>& stack, const ScanCallbacks& callbacks) {
    FileFinder find(folder + "*.*");
    if (!find.Found()) return 0;
    if (callbacks.onFolder) callbacks.onFolder(folder);
    int found = 0;
    for (; find.Found() && running; find.Next()) {
        if (find.IsDotEntry()) continue;
        std::string path = folder + find.Name();
        if (!FitsPathLimit(path)) continue;
        if (find.IsFolder()) {
            // A link or junction leads back into the drive (a loop) or off it: never walked.
            if (!(find.Attributes() & FILE_ATTRIBUTE_REPARSE_POINT))
                stack.push_back(std::move(path));
            continue;
        }
        if (callbacks.onFile) callbacks.onFile();
        if (!IsScanSuspicious(path.c_str())) continue;
        ++found;
        if (callbacks.onSuspicious) callbacks.onSuspicious(path);
    }
    return found;
}
}  // namespace

int ScanDrive(char letter, const std::atomic<bool>& running, const ScanCallbacks& callbacks) {
    std::vector<std::string> stack;
    std::string folder = std::string(1, letter) + ":\\";
    int found = 0;
    for (;;) {
        if (running) found += ScanFolder(folder, running, stack, callbacks);
        if (stack.empty() || !running) return found;
        // The pattern adds a backslash and "*.*": keep it within the path buffers too.
        folder = std::move(stack.back()) + "\\";
        stack.pop_back();
        while (PathLength(folder) + 3 > kMaxPathLength && !stack.empty()) {
            folder = std::move(stack.back()) + "\\";
            stack.pop_back();
        }
        if (PathLength(folder) + 3 > kMaxPathLength) return found;
    }
}
