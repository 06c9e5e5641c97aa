#pragma once
// The separate updater program, "Quorrel.exe" in the program's folder, started with the
// program's name, its version and the update description's URL.
#include <optional>
#include <string>

constexpr char kUpdaterFile[] = "Quorrel.exe";

// "<folder>Quorrel.exe" (quoted, since the folder may hold blanks), then "Koravant", the
// version and the URL, separated by single blanks; nothing when it does not fit 255 characters.
std::optional<std::string> BuildUpdaterCommandLine(const std::string& folder,
                                                   const std::string& version,
                                                   const std::string& url);

// Warns that the program will quit, then starts the updater; true when its process was
// created. The caller ends the program on success and reports the failure otherwise.
bool LaunchUpdater();
