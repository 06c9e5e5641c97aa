#include "repair/FolderCleanup.h"

#include <windows.h>

#include <vector>

#include "framework/Handles.h"
#include "framework/Text.h"
#include "res/resource.h"

namespace {
enum class SearchOutcome { NotSearched, Searched, Stopped };

bool IsDotEntry(const wchar_t* name) {
    return name[0] == L'.' && (name[1] == 0 || (name[1] == L'.' && name[2] == 0));
}

bool DeleteOneFile(const std::wstring& path, DWORD attributes) {
    std::wstring extended = ExtendedLengthPath(path);
    // Only read-only keeps a file from being deleted; a link's attributes would be set on its
    // target, so a link is deleted as it is.
    if ((attributes & FILE_ATTRIBUTE_READONLY) && !(attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        ::SetFileAttributesW(extended.c_str(), FILE_ATTRIBUTE_NORMAL);
    return ::DeleteFileW(extended.c_str()) != FALSE;
}

// Deletes the files of `folder` (ending in a backslash) and adds its subfolders to `pending`.
SearchOutcome DeleteFilesIn(const std::wstring& folder, std::vector<std::wstring>& pending,
                            const ListStep& list) {
    WIN32_FIND_DATAW entry;
    ScopedResource<FindHandleTraits> search(
        ::FindFirstFileW(ExtendedLengthPath(folder + L"*.*").c_str(), &entry));
    if (!search) return SearchOutcome::NotSearched;
    do {
        if (IsDotEntry(entry.cFileName)) continue;
        std::wstring path = folder + entry.cFileName;
        if (path.size() > kMaxCleanupPath) continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT))
                pending.push_back(path + L"\\");
            continue;
        }
        bool deleted = DeleteOneFile(path, entry.dwFileAttributes);
        if (!list(WideToUtf8(path), deleted ? IDS_DELETED : IDS_DELETE_FAILED))
            return SearchOutcome::Stopped;
    } while (::FindNextFileW(search.get(), &entry));
    return SearchOutcome::Searched;
}
}  // namespace

std::wstring ExtendedLengthPath(const std::wstring& path) {
    // Short paths keep their ordinary form, which every system takes.
    if (path.size() < MAX_PATH - 12 || path.rfind(L"\\\\?\\", 0) == 0) return path;
    if (path.rfind(L"\\\\", 0) == 0) return L"\\\\?\\UNC\\" + path.substr(2);
    return L"\\\\?\\" + path;
}

bool DeleteFolderFiles(const std::string& folder, const ListStep& list) {
    std::wstring start = Utf8ToWide(folder);
    if (start.empty() || start.size() > kMaxCleanupPath) return false;
    if (start.back() != L'\\') start += L'\\';
    // Pending folders, taken last in first out: the walk goes depth first with one open search.
    std::vector<std::wstring> pending{start};
    bool searched = false;
    while (!pending.empty()) {
        std::wstring current = std::move(pending.back());
        pending.pop_back();
        SearchOutcome outcome = DeleteFilesIn(current, pending, list);
        if (outcome == SearchOutcome::Stopped) return true;
        searched = searched || outcome == SearchOutcome::Searched;
    }
    return searched;
}
