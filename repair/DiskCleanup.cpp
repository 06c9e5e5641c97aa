#include "repair/DiskCleanup.h"

#include <windows.h>
#include <shlobj.h>
#include <wininet.h>

#include "framework/LateImport.h"
#include "framework/Text.h"
#include "repair/FolderCleanup.h"
#include "res/resource.h"

namespace {
constexpr DWORD kCacheEntrySize = 4096;
constexpr DWORD kTempPathChars = 500;
// Loaded when a cleanup reaches the Internet cache.
constexpr char kWinInet[] = "wininet.dll";

// One cache entry into `buffer`, which grows for an entry that does not fit. `find` is the
// open enumeration, or null for the first entry (then set on success).
bool ReadCacheEntry(HANDLE& find, std::vector<BYTE>& buffer) {
    for (;;) {
        auto* entry = reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
        DWORD size = static_cast<DWORD>(buffer.size());
        bool read = find ? LATE_CALL(kWinInet, FindNextUrlCacheEntryW, find, entry, &size) != FALSE
                         : (find = LATE_CALL(kWinInet, FindFirstUrlCacheEntryW, nullptr, entry,
                                             &size)) != nullptr;
        if (read) return true;
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || size <= buffer.size()) return false;
        buffer.resize(size);
    }
}

std::string CacheEntryName(const INTERNET_CACHE_ENTRY_INFOW& entry) {
    const wchar_t* name = entry.lpszLocalFileName && entry.lpszLocalFileName[0]
                              ? entry.lpszLocalFileName
                              : entry.lpszSourceUrlName;
    return name ? WideToUtf8(name) : std::string();
}

std::string SpecialFolder(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!LATE_CALL("shell32.dll", SHGetSpecialFolderPathW, nullptr, path, csidl, FALSE) || !path[0])
        return {};
    return WideToUtf8(path);
}

std::string TempFolder() {
    wchar_t path[kTempPathChars] = {};
    DWORD length = ::GetTempPathW(kTempPathChars, path);
    return length > 0 && length < kTempPathChars ? WideToUtf8(path) : std::string();
}
}  // namespace

bool ClearUrlCache(const ListStep& list) {
    std::vector<BYTE> buffer(kCacheEntrySize);
    HANDLE find = nullptr;
    bool listening = true;
    while (listening && ReadCacheEntry(find, buffer)) {
        const auto& entry = *reinterpret_cast<INTERNET_CACHE_ENTRY_INFOW*>(buffer.data());
        LATE_CALL(kWinInet, DeleteUrlCacheEntryW, entry.lpszSourceUrlName);
        listening = list(CacheEntryName(entry), IDS_IE_CACHE_DELETED);
    }
    DWORD last = ::GetLastError();
    if (find) LATE_CALL(kWinInet, FindCloseUrlCache, find);
    return listening && last == ERROR_NO_MORE_ITEMS;
}

std::vector<std::string> CleanupFolders() {
    std::vector<std::string> folders;
    for (std::string folder :
         {SpecialFolder(CSIDL_COOKIES), SpecialFolder(CSIDL_RECENT), TempFolder()}) {
        if (folder.empty()) continue;
        if (folder.back() != '\\') folder += '\\';
        folders.push_back(folder);
    }
    return folders;
}

void RunDiskCleanup(const ListStep& list) {
    bool listening = true;
    auto listed = [&](const std::string& content, UINT stateId) {
        return listening = listening && list(content, stateId);
    };
    for (const std::string& folder : CleanupFolders()) {
        DeleteFolderFiles(folder, listed);
        if (!listening) return;
    }
    ClearUrlCache(listed);
    if (!listening) return;
    LATE_CALL("shell32.dll", SHEmptyRecycleBinA, nullptr, nullptr, SHERB_NOCONFIRMATION);
}
