// Disk cleanup of 10,000 files in 1,000 folders of the temporary folder: the repair page's
// Disk Cleanup, answer to "Clean completed", beside a bare FindFirstFile/DeleteFile walk of
// the same tree, best of a few rounds each; and the main window's round trip meanwhile.
// [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "repair/FolderCleanup.h"
#include "tests/support/PageView.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr int kFolders = 1000, kFilesPerFolder = 10;

bool WriteTree(const std::string& root) {
    for (int folder = 0; folder < kFolders; ++folder) {
        std::string path = root + "d" + std::to_string(folder / 10) + "\\" + std::to_string(folder);
        if (!CreateFolders(path)) return false;
        for (int file = 0; file < kFilesPerFolder; ++file)
            if (!WriteFileBytes(path + "\\" + std::to_string(file) + ".tmp", "")) return false;
    }
    return true;
}

// The least any cleanup must do: list every folder and delete each file once.
unsigned long BareDeleteWalk(const std::wstring& folder) {
    unsigned long deleted = 0;
    WIN32_FIND_DATAW entry;
    ScopedResource<FindHandleTraits> find(::FindFirstFileW((folder + L"*").c_str(), &entry));
    for (bool more = find.valid(); more; more = ::FindNextFileW(find.get(), &entry)) {
        if (entry.cFileName[0] == L'.') continue;  // "." and "..": the tree has no other
        std::wstring path = folder + entry.cFileName;
        deleted += entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY
                       ? BareDeleteWalk(path + L"\\")
                       : ::DeleteFileW(path.c_str()) != FALSE;
    }
    return deleted;
}

std::string TempFolder() {
    char path[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, path);
    return path;
}
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    const std::string root = TempFolder() + "koravant-bench\\";
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app({"cleanup-bench"});
    // The cleanup empties the recycle bin: this one's own.
    CreateFolders(app.Folder() + "\\xdg");
    app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    PageView page(app, 154, 1036);
    std::vector<double> trips{0};
    // WM_NULL every 10 ms: often enough to see any stall a user would notice.
    auto pingedUntilDone = [&] {
        double sent = NowMs();
        ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
        trips.push_back(NowMs() - sent);

        return AnyMessageBox(app.Pid());
    };
    double bareMs = 1e12, engineMs = 1e12, programMs = 1e12;
    unsigned long bareFiles = 0, engineFiles = 0;
    int rows = 0;
    bool ok = app.StartHidden() && page.Open(1007);
    for (int round = 0; ok && round < rounds; ++round) {
        ok = WriteTree(root);
        double start = NowMs();
        bareFiles = BareDeleteWalk(std::wstring(root.begin(), root.end()));
        bareMs = std::min(bareMs, NowMs() - start);
        ok = ok && WriteTree(root);
        start = NowMs();
        DeleteFolderFiles(root, [&](const std::string&, UINT) { return ++engineFiles, true; });
        engineMs = std::min(engineMs, NowMs() - start);
        ok = ok && WriteTree(root);
        page.Click(1003);
        MessageBoxInfo question = WaitForMessageBox(app.Pid());
        start = NowMs();
        ok = ok && AnswerMessageBox(question, IDOK) && WaitUntil(pingedUntilDone, 600000, 10);
        programMs = std::min(programMs, NowMs() - start);
        rows = page.RowCount();
        ok = ok && AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK);
    }
    DeleteTree(root);
    std::sort(trips.begin(), trips.end());
    const unsigned long files = kFolders * kFilesPerFolder;
    if (!ok || bareFiles != files || engineFiles < files * rounds ||
        rows < static_cast<int>(files)) {
        std::printf("cleanup bench: failed with %lu files deleted by the walk, %d rows\n",
                    bareFiles, rows);
        return 1;
    }
    std::printf("cleanup of %lu files in %d folders, best of %d rounds\n", files, kFolders, rounds);
    std::printf("  bare delete walk                %8.0f ms  %9.0f files/s\n", bareMs,
                files * 1000.0 / bareMs);
    std::printf("  the cleanup walk alone          %8.0f ms  %9.0f files/s  %.2fx the walk\n",
                engineMs, files * 1000.0 / engineMs, engineMs / bareMs);
    std::printf(
        "  Disk Cleanup in the program     %8.0f ms  %9.0f files/s  %.2fx the walk  (%d rows)\n",
        programMs, files * 1000.0 / programMs, programMs / bareMs, rows);
    std::printf("  main window round trip during the cleanup: worst %.1f ms, median %.1f ms\n",
                trips.back(), trips[trips.size() / 2]);
    std::printf("  target: cleanup within 1.5x the walk: %s; window within 100 ms: %s\n",
                programMs <= 1.5 * bareMs ? "met" : "MISSED",
                trips.back() <= 100 ? "met" : "MISSED");
    return 0;
}
