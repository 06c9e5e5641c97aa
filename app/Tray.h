#pragma once
// The notification-area icon, its menu, and the keeper that puts the icon back whenever the
// taskbar is created anew (after the shell restarts).
#include <windows.h>
#include <shellapi.h>

#include <string>

constexpr UINT kTrayIconId = 160;

// The program's one icon record, in the first (88-byte) form every shell accepts.
extern NOTIFYICONDATAA g_trayIconData;

// The record for `window`'s icon; a tip longer than the record holds is cut.
void FillTrayIconData(NOTIFYICONDATAA& data, HWND window, HICON icon, const std::string& tip);

// Adds the icon of `window`; true when the shell took it. Any thread may call these: the
// record is filled and handed to the shell under one lock.
bool AddTrayIcon(HWND window);
// Removes the icon for good: the keeper does not bring it back afterwards.
void DeleteTrayIcon();

// The tray menu at the pointer; the chosen command reaches `owner` as WM_COMMAND.
void ShowTrayMenu(HWND owner);

// The program's keeper, on a thread of its own: adds the icon, then puts it back whenever the
// taskbar comes anew.
DWORD WINAPI TrayKeeperThread(LPVOID);
