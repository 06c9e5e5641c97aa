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
