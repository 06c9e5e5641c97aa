#include "update/Updater.h"

#include <windows.h>

#include "framework/FileSystem.h"
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
    if (folder.empty() || PathLength(line) > kMaxPathLength) return std::nullopt;
    return line;
}

bool LaunchUpdater() {
    std::optional<std::string> line = BuildUpdaterCommandLine(
        ModuleDirectoryUtf8(), LoadResString(IDS_VERSION), UpdateDescriptionUrl());
    // The user cannot decline: the warning only tells what comes.
    AfxMessageBox(IDS_QUIT_TO_UPDATE, MB_OK);
    return line && StartProgramUtf8(*line);
}
