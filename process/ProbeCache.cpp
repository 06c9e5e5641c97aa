#include "process/ProbeCache.h"

#include <tuple>

#include "framework/Handles.h"
#include "framework/Paths.h"
#include "framework/Text.h"
#include "process/SystemFiles.h"

namespace {
// Beyond this many entries a map starts again: processes and files come and go.
constexpr size_t kMaxEntries = 4096;
constexpr DWORD kQueryLimitedInformation = 0x1000;  // Vista and later

ULONGLONG ToNumber(FILETIME time) {
    return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

// The creation time of a process, or 0 when it cannot be asked.
ULONGLONG CreationTime(DWORD processId) {
    ScopedHandle process(::OpenProcess(kQueryLimitedInformation, FALSE, processId));
    if (!process) process.reset(::OpenProcess(PROCESS_QUERY_INFORMATION, FALSE, processId));
    FILETIME created, exited, kernel, user;
    if (!process || !::GetProcessTimes(process.get(), &created, &exited, &kernel, &user)) return 0;
    return ToNumber(created);
}

// Size, last write and creation time of a file (or folder); zeros when it cannot be read.
ProbeCache::Stamp FileStamp(const std::string& path) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!::GetFileAttributesExW(Utf8ToWide(path).c_str(), GetFileExInfoStandard, &data))
        return {0, 0, 0};
    ULONGLONG size = (static_cast<ULONGLONG>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    return {size, ToNumber(data.ftLastWriteTime), ToNumber(data.ftCreationTime)};
}

// Adding, removing or renaming a file changes its folder's write time.
ULONGLONG WindowsFoldersStamp() {
    char windows[kPathBufferSize];
    UINT length = ::GetWindowsDirectoryA(windows, kPathBufferSize);
    if (length == 0 || length >= kPathBufferSize) return 0;
    ULONGLONG stamp = 0;
    for (const char* folder : {"", "\\system", "\\system32"})
        stamp = stamp * 31 + std::get<1>(FileStamp(std::string(windows, length) + folder));
    if (std::wstring native = NativeSystemFolder(); !native.empty())
        stamp = stamp * 31 + std::get<1>(FileStamp(WideToUtf8(native)));
    return stamp;
}

template <typename Map>
void Bound(Map& map) {
    if (map.size() >= kMaxEntries) map.clear();
}
}  // namespace

bool ProbeCache::ProgramFile(DWORD processId, std::string& path) {
    ULONGLONG created = CreationTime(processId);
    auto known = m_programFiles.find(processId);
    if (created == 0 || known == m_programFiles.end() || known->second.first != created) {
        Found found;
        found.found = m_inner.ProgramFile(processId, found.path);
        // A process still being loaded names no file yet: asked again next time.
        if (created == 0 || !found.found) {
            if (found.found) path = found.path;
            return found.found;
        }
        Bound(m_programFiles);
        known = m_programFiles.insert_or_assign(processId, std::make_pair(created, found)).first;
    }
    path = known->second.second.path;
    return true;
}

bool ProbeCache::HasVersionInfo(const std::string& path) {
    Stamp stamp = FileStamp(path);
    auto known = m_versioned.find(path);
    if (known != m_versioned.end() && known->second.first == stamp) return known->second.second;
    bool versioned = m_inner.HasVersionInfo(path);
    Bound(m_versioned);
    m_versioned.insert_or_assign(path, std::make_pair(stamp, versioned));
    return versioned;
}

void ProbeCache::NewPass() {
    ULONGLONG stamp = WindowsFoldersStamp();
    if (stamp == m_foldersStamp) return;
    m_foldersStamp = stamp;
    m_systemFiles.clear();
    m_systemNames.clear();
}

bool ProbeCache::FindInSystemFolders(const std::string& name, std::string& path) {
    auto known = m_systemFiles.find(name);
    if (known == m_systemFiles.end()) {
        Found found;
        found.found = m_inner.FindInSystemFolders(name, found.path);
        Bound(m_systemFiles);
        known = m_systemFiles.emplace(name, found).first;
    }
    if (known->second.found) path = known->second.path;
    return known->second.found;
}

bool ProbeCache::IsSystemFileName(const std::string& name) {
    auto known = m_systemNames.find(name);
    if (known != m_systemNames.end()) return known->second;
    bool found = m_inner.IsSystemFileName(name);
    Bound(m_systemNames);
    m_systemNames.emplace(name, found);
    return found;
}
