// Disk Cleanup of 10,000 files in 1,000 folders of the temporary folder, answer to "Clean
// completed", beside a bare delete walk of the same tree, best of [rounds]; and the main
// window's round trip meanwhile.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "tests/support/PageView.h"
#include "tests/support/TestDrives.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"
#include "tests/support/WindowQuery.h"

namespace {
constexpr int kFolders = 1000, kFilesPerFolder = 10;

bool WriteTree(const std::string& root) {
    for (int folder = 0; folder < kFolders; ++folder) {
        std::string path = root + std::to_string(folder);
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
        if (entry.cFileName[0] == L'.') continue;
        std::wstring path = folder + entry.cFileName;
        deleted += entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY
                       ? BareDeleteWalk(path + L"\\")
                       : ::DeleteFileW(path.c_str()) != FALSE;
    }
    return deleted;
}
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char temp[MAX_PATH] = {};
    ::GetTempPathA(MAX_PATH, temp);
    const std::string root = std::string(temp) + "koravant-bench\\";
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    KoravantApp app({"cleanup-bench"});
    CreateFolders(app.Folder() + "\\xdg");
    app.SetEnvironment("XDG_DATA_HOME", UnixPathOf(app.Folder() + "\\xdg"));
    PageView page(app, 154, 1036);
    std::vector<double> trips;
    auto pingedUntilDone = [&] {
        double sent = NowMs();
        ::SendMessageTimeoutA(app.MainWindow(), WM_NULL, 0, 0, SMTO_NORMAL, 5000, nullptr);
        trips.push_back(NowMs() - sent);
        return AnyMessageBox(app.Pid());
    };
    double bareMs = 1e12, programMs = 1e12;
    unsigned long bareFiles = 0;
    int rows = 0;
    // Disk Cleanup from the answer to the question until "Clean completed" shows, or -1.
    auto cleanUp = [&](const std::function<bool()>& untilDone) {
        page.Click(1003);
        MessageBoxInfo question = WaitForMessageBox(app.Pid());
        double start = NowMs();
        bool done = AnswerMessageBox(question, IDOK) && WaitUntil(untilDone, 600000, 10);
        double ms = NowMs() - start;
        rows = page.RowCount();
        return done && AnswerMessageBox(WaitForMessageBox(app.Pid()), IDOK) ? ms : -1;
    };
    // A first cleanup, not counted, leaves the window as the program itself brings it forward,
    // as a user sees it: shown from another process, it skipped part of its drawing under Wine,
    // which flattered the first round.
    bool ok = app.StartHidden() && page.Open(1007) &&
              cleanUp([&] { return AnyMessageBox(app.Pid()); }) >= 0;
    for (int round = 0; ok && round < rounds; ++round) {
        ok = WriteTree(root);
        double start = NowMs();
        bareFiles = BareDeleteWalk(std::wstring(root.begin(), root.end()));
        bareMs = std::min(bareMs, NowMs() - start);
        double ms = ok && WriteTree(root) ? cleanUp(pingedUntilDone) : -1;
        ok = ms >= 0;
        programMs = std::min(programMs, ms);
    }
    DeleteTree(root);
    std::sort(trips.begin(), trips.end());
    const unsigned long files = kFolders * kFilesPerFolder;
    if (!ok || trips.empty() || bareFiles != files || rows < static_cast<int>(files)) {
        std::printf("cleanup bench: failed with %lu files deleted by the walk, %d rows\n",
                    bareFiles, rows);
        return 1;
    }
    std::printf("cleanup of %lu files in %d folders, best of %d rounds\n", files, kFolders, rounds);
    std::printf("  bare delete walk %.0f ms, Disk Cleanup %.0f ms (%d rows): %.2fx the walk\n",
                bareMs, programMs, rows, programMs / bareMs);
    std::printf("  main window round trip meanwhile: worst %.1f ms, median %.1f ms\n", trips.back(),
                trips[trips.size() / 2]);
    std::printf("  target: within 1.5x the walk: %s; window within 100 ms: %s\n",
                programMs <= 1.5 * bareMs ? "met" : "MISSED",
                trips.back() <= 100 ? "met" : "MISSED");
    return 0;
}
