#include "usb/DriveScan.h"

#include <vector>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "usb/ThreatRules.h"

namespace {

bool IsDotEntry(const char* name) {
    return name[0] == '.' && (name[1] == 0 || (name[1] == '.' && name[2] == 0));
}

// Visits one folder's entries: files are judged, sub-folders go on the stack.
int ScanFolder(const std::string& folder, const std::atomic<bool>& running,
               std::vector<std::string>& stack, const ScanCallbacks& callbacks) {
    WIN32_FIND_DATAA entry;
    ScopedFindHandle find(::FindFirstFileA((folder + "*.*").c_str(), &entry));
    if (!find) return 0;
    if (callbacks.onFolder) callbacks.onFolder(folder);
    int found = 0;
    do {
        if (!running) break;
        if (IsDotEntry(entry.cFileName)) continue;
        std::string path = folder + entry.cFileName;
        if (path.size() > kMaxPathLength) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            stack.push_back(std::move(path));
            continue;
        }
        if (callbacks.onFile) callbacks.onFile();
        if (!IsScanSuspicious(path.c_str())) continue;
        ++found;
        if (callbacks.onSuspicious) callbacks.onSuspicious(path);
    } while (::FindNextFileA(find.get(), &entry));
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
        while (folder.size() + 3 > kMaxPathLength && !stack.empty()) {
            folder = std::move(stack.back()) + "\\";
            stack.pop_back();
        }
        if (folder.size() + 3 > kMaxPathLength) return found;
    }
}
