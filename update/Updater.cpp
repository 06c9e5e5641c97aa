#include "update/Updater.h"

#include <windows.h>

#include "framework/Paths.h"
#include "framework/Strings.h"
#include "res/resource.h"
#include "update/UpdateSource.h"

std::optional<std::string> BuildUpdaterCommandLine(const std::string& folder,
                                                   const std::string& version,
                                                   const std::string& url) {
    // Unquoted, a folder such as "C:\Program Files\" would make CreateProcess try
    // "C:\Program.exe" first, and shift the updater's arguments.
    std::string line = "\"" + folder + kUpdaterFile + "\" Koravant " + version + " " + url;
    if (folder.empty() || line.size() > kMaxPathLength) return std::nullopt;
    return line;
}

bool LaunchUpdater() {
    std::optional<std::string> line = BuildUpdaterCommandLine(
        GetModuleDirectory(), LoadResString(IDS_VERSION), UpdateDescriptionUrl());
    // The user cannot decline: the warning only tells what comes.
    AfxMessageBox(IDS_QUIT_TO_UPDATE, MB_OK);
    if (!line) return false;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!::CreateProcessA(nullptr, line->data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                          &startup, &process))
        return false;
    ::CloseHandle(process.hThread);
    ::CloseHandle(process.hProcess);
    return true;
}
