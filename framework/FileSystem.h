#pragma once
// File names travel as UTF-8 and meet the system here: through the W functions on the NT
// family, through the A functions and the ANSI code page on 95/98/Me, where the W ones are
// stubs. Short (8.3) names are never used: exFAT and some NTFS volumes have none.
#include <windows.h>

#include <string>

// A path's length as Windows counts it: UTF-16 code units.
size_t PathLength(const std::string& path);
// Within the 255-unit path limit (and not empty).
bool FitsPathLimit(const std::string& path);

// INVALID_FILE_ATTRIBUTES when the path names nothing (or cannot reach the system).
DWORD FileAttributes(const std::string& path);
bool FileExists(const std::string& path);
bool SetFileAttributesUtf8(const std::string& path, DWORD attributes);
bool DeleteFileUtf8(const std::string& path);
bool CreateDirectoryUtf8(const std::string& path);
// CreateFile with no security attributes, normal attributes and no template.
HANDLE CreateFileUtf8(const std::string& path, DWORD access, DWORD share, DWORD disposition);
// Moves `from` over `to`, which it replaces when it exists.
bool MoveFileReplacingUtf8(const std::string& from, const std::string& to);
// A new empty file with a name of the system's choosing in `folder` (trailing backslash);
// its path, or "" on failure.
std::string CreateTempFileUtf8(const std::string& folder, const char* prefix);
// GetPrivateProfileString of the file at `iniPath`: at most `capacity` - 1 characters of the
// value, in the ANSI code page as the A function gives it.
std::string ReadProfileStringUtf8(const std::string& iniPath, const char* section, const char* key,
                                  const std::string& fallback, DWORD capacity);
HMODULE LoadLibraryUtf8(const std::string& path);
// Starts `commandLine` (its program quoted) with the handles inherited; false when it did not.
bool StartProgramUtf8(const std::string& commandLine);
// Opens the document with the program the system has for it; false when none could.
bool OpenDocumentUtf8(HWND owner, const std::string& path);
// The executable's folder with a trailing backslash, "" when it passes the path limit.
std::string ModuleDirectoryUtf8();
// The user's desktop folder, no trailing backslash; "" when unknown.
std::string DesktopDirectoryUtf8();

// One folder listing: `for (FileFinder find(pattern); find.Found(); find.Next())`.
class FileFinder {
  public:
    explicit FileFinder(const std::string& pattern);
    ~FileFinder();
    FileFinder(const FileFinder&) = delete;
    FileFinder& operator=(const FileFinder&) = delete;

    bool Found() const { return m_found; }
    void Next();
    const std::string& Name() const { return m_name; }
    DWORD Attributes() const { return m_attributes; }
    bool IsFolder() const { return (m_attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }
    bool IsDotEntry() const { return m_name == "." || m_name == ".."; }

  private:
    void Take(const WIN32_FIND_DATAW& entry);
    void Take(const WIN32_FIND_DATAA& entry);

    HANDLE m_handle = INVALID_HANDLE_VALUE;
    bool m_found = false;
    std::string m_name;
    DWORD m_attributes = 0;
};

// Tests run the 95/98/Me way (the A functions) on any system.
void UseAnsiFileFunctionsForTesting(bool ansi);
