#pragma once
// Drive letters that tests plug in and pull out at run time. Each drive is a fresh folder
// inside the prefix, mapped through Wine's mount manager, so its type is right at once and
// no wineserver restart is needed. Mapping and folder go away at scope end.
#include <windows.h>
#include <dbt.h>

#include <string>
#include <vector>

#include "framework/Text.h"

enum class DriveKind { Removable, Fixed, CdRom, Network };

// A file or folder at the UTF-8 `path`.
inline bool FileExists(const std::string& path) {
    return ::GetFileAttributesW(Utf8ToWide(path).c_str()) != INVALID_FILE_ATTRIBUTES;
}

class TestDrive {
  public:
    // Maps the capital `letter` to a new empty folder; check Plugged(). Names and paths here are
    // UTF-8 and reach the system through the wide functions.
    TestDrive(char letter, DriveKind kind);
    // A removable drive on the existing `folder`, which outlives it.
    TestDrive(char letter, const std::string& folder);
    ~TestDrive();
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    // "E:\\" and the paths below it, as a program sees them while the drive is plugged in.
    std::string Root() const { return std::string(1, m_letter) + ":\\"; }
    std::string Path(const std::string& relative) const { return Root() + relative; }
    // The backing folder (a C: path with no trailing backslash), reachable after Remove().
    const std::string& Folder() const { return m_folder; }
    std::string FolderPath(const std::string& relative) const { return m_folder + "\\" + relative; }

    bool Plugged() const { return m_plugged; }
    // Maps the letter again to the same folder (a stick plugged back in).
    bool Plug();
    // Unplugs: the letter disappears, the folder and its files stay.
    bool Remove();

    // These work in the backing folder, plugged or not, and create missing folders.
    bool WriteFile(const std::string& relative, const std::string& content,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    bool MakeFolder(const std::string& relative, DWORD attributes = 0);
    bool Exists(const std::string& relative) const { return FileExists(FolderPath(relative)); }

  private:
    char m_letter;
    UINT m_driveType;
    std::string m_folder;
    bool m_ownsFolder = true;
    bool m_plugged = false;
};

// The host path of an ASCII Windows path inside the prefix; empty when Wine cannot tell.
std::string UnixPathOf(const std::string& windowsPath);

// Whole-file helpers for any path (a drive's, the prefix's): "" when the file cannot be read.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The names in a folder, "." and ".." left out.
std::vector<std::string> ListFolder(const std::string& folder);
// Deletes a folder tree (an absolute ASCII path, any depth), clearing read-only, hidden and
// system attributes first.
bool DeleteTree(const std::string& folder);
// Creates every missing folder of `path` (a folder path, no trailing backslash needed).
bool CreateFolders(const std::string& path);

// Wine broadcasts nothing for drives defined at run time, so tests send WM_DEVICECHANGE for
// the capital `letter` themselves; false when the window did not answer within 30 s.
bool SendDeviceChange(HWND window, WPARAM event, char letter);
inline bool SendDriveArrival(HWND window, char letter) {
    return SendDeviceChange(window, DBT_DEVICEARRIVAL, letter);
}
inline bool SendDriveRemoval(HWND window, char letter) {
    return SendDeviceChange(window, DBT_DEVICEREMOVECOMPLETE, letter);
}
