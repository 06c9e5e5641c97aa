#pragma once
// The user's and all users' Startup folders: every file there starts at logon. Names travel
// as UTF-8 and meet the system through the W functions, so no name is missed.
#include <string>
#include <vector>

#include "autostart/AutostartValues.h"

// The Startup folders that exist, the user's first; one folder named twice is listed once.
std::vector<std::string> StartupFolders();
// What a shortcut starts: its target and arguments; "" when it is no readable shortcut or
// points at no file.
std::string ShortcutCommand(const std::string& shortcutPath);
// Appends one entry per file of `folder` (the folder's own "desktop.ini" is none): the file's
// name, a shortcut's command or else the file's path, and the folder as the location.
void EnumStartupFolder(const std::string& folder, std::vector<AutostartEntry>& entries);
// Whether `location` is one of the Startup folders.
bool IsStartupFolder(const std::string& location);
