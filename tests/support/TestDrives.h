#pragma once
// Drive letters that tests plug in and pull out at run time. Each drive is a fresh folder
// inside the prefix, mapped through Wine's mount manager, so its type is right at once and
// no wineserver restart is needed. The mapping always goes away at scope end.
//
//     TestDrive stick('E', DriveKind::Removable);      // stick.Root() == "E:\\"
//     stick.WriteFile("autorun.inf", "[autorun]", FILE_ATTRIBUTE_HIDDEN);
//     stick.MakeFolder("x\\y");
//     stick.Remove();                                   // unplugged; the folder stays
#include <windows.h>

#include <string>
#include <vector>

enum class DriveKind { Removable, Fixed, CdRom, Network };

class TestDrive {
  public:
    // Maps `letter` to a new empty folder; check Plugged() (or use ASSERT_TRUE(drive.Plugged())).
    TestDrive(char letter, DriveKind kind);
    // Removes the mapping and the folder with its contents.
    ~TestDrive();
    TestDrive(const TestDrive&) = delete;
    TestDrive& operator=(const TestDrive&) = delete;

    char Letter() const { return m_letter; }
    DriveKind Kind() const { return m_kind; }
    // "E:\\"
    std::string Root() const;
    // Root() + relative: the path a program sees while the drive is plugged in.
    std::string Path(const std::string& relative) const;
    // The backing folder (a C: path with no trailing backslash), reachable after Remove().
    const std::string& Folder() const { return m_folder; }
    std::string FolderPath(const std::string& relative) const;

    bool Plugged() const { return m_plugged; }
    // Maps the letter again to the same folder (a stick plugged back in).
    bool Plug();
    // Unplugs: the letter disappears, the folder and its files stay.
    bool Remove();

    // Creates the file (and missing folders) in the backing folder, so it works plugged or not.
    bool WriteFile(const std::string& relative, const std::string& content,
                   DWORD attributes = FILE_ATTRIBUTE_NORMAL);
    bool MakeFolder(const std::string& relative, DWORD attributes = 0);
    bool Exists(const std::string& relative) const;
    // The file's bytes; empty when it cannot be read.
    std::string ReadFile(const std::string& relative) const;

  private:
    char m_letter;
    DriveKind m_kind;
    std::string m_folder;
    bool m_plugged = false;
};

// Defines or removes a drive letter through the mount manager: `unixPath` is the folder's
// path on the host; DRIVE_NO_ROOT_DIR removes the letter.
bool DefineWineDrive(char letter, UINT driveType, const std::string& unixPath);
// The host path of a Windows path inside the prefix; empty when Wine cannot tell.
std::string UnixPathOf(const std::string& windowsPath);

// Whole-file helpers for any path (a drive's, the prefix's): "" when the file cannot be read.
std::string ReadFileBytes(const std::string& path);
bool WriteFileBytes(const std::string& path, const std::string& bytes);
// The names in a folder, "." and ".." left out.
std::vector<std::string> ListFolder(const std::string& folder);

// Deletes a folder tree, clearing read-only, hidden and system attributes first.
bool DeleteTree(const std::string& folder);
// Creates every missing folder of `path` (a folder path, no trailing backslash needed).
bool CreateFolders(const std::string& path);

// Wine broadcasts nothing for drives defined at run time: tests tell the program themselves.
// Sends WM_DEVICECHANGE with a volume record for `letter`; false when the window did not
// answer within `timeoutMs`.
bool SendDriveArrival(HWND window, char letter, DWORD timeoutMs = 30000);
bool SendDriveRemoval(HWND window, char letter, DWORD timeoutMs = 30000);
