#include "autostart/StartupFolders.h"

#include <windows.h>
#include <shlobj.h>

#include "framework/Handles.h"
#include "framework/LateImport.h"
#include "framework/Text.h"

namespace {
bool SameNoCase(const std::wstring& first, const std::wstring& second) {
    return ::lstrcmpiW(first.c_str(), second.c_str()) == 0;
}

bool ContainsFolder(const std::vector<std::string>& folders, const std::string& folder) {
    for (const std::string& known : folders)
        if (SameNoCase(Utf8ToWide(known), Utf8ToWide(folder))) return true;
    return false;
}

bool IsShortcut(const std::wstring& name) {
    return name.size() > 4 && SameNoCase(name.substr(name.size() - 4), L".lnk");
}

// Loaded when the first shortcut is read.
constexpr char kOle[] = "ole32.dll";

// COM for one call on this thread; left as it was when the thread had it already.
class ComScope {
  public:
    ComScope() {
        if (auto initialize = LATE_IMPORT(kOle, CoInitializeEx))
            m_result = initialize(nullptr, COINIT_APARTMENTTHREADED);
    }
    ~ComScope() {
        if (SUCCEEDED(m_result)) LATE_CALL(kOle, CoUninitialize);
    }
    ComScope(const ComScope&) = delete;
    ComScope& operator=(const ComScope&) = delete;

  private:
    HRESULT m_result = E_FAIL;
};

template <typename T>
struct ComPtr {
    T* p = nullptr;
    ~ComPtr() {
        if (p) p->Release();
    }
};

std::string LinkTargetAndArguments(IShellLinkW* link, const std::wstring& path) {
    ComPtr<IPersistFile> file;
    if (FAILED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file.p))) ||
        FAILED(file.p->Load(path.c_str(), STGM_READ)))
        return {};
    wchar_t target[MAX_PATH] = {}, arguments[INFOTIPSIZE] = {};
    if (link->GetPath(target, MAX_PATH, nullptr, 0) != S_OK || !target[0]) return {};
    link->GetArguments(arguments, INFOTIPSIZE);
    std::wstring command = target;
    if (arguments[0]) command += std::wstring(L" ") + arguments;
    return WideToUtf8(command);
}

std::string FolderPath(int csidl) {
    wchar_t path[MAX_PATH] = {};
    if (!LATE_CALL("shell32.dll", SHGetSpecialFolderPathW, nullptr, path, csidl, FALSE)) return {};
    DWORD attributes = ::GetFileAttributesW(path);
    bool isFolder =
        attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
    return isFolder ? WideToUtf8(path) : std::string();
}
}  // namespace

std::vector<std::string> StartupFolders() {
    std::vector<std::string> folders;
    for (int csidl : {CSIDL_STARTUP, CSIDL_COMMON_STARTUP}) {
        std::string folder = FolderPath(csidl);
        if (!folder.empty() && !ContainsFolder(folders, folder)) folders.push_back(folder);
    }
    return folders;
}

std::string ShortcutCommand(const std::string& shortcutPath) {
    ComScope com;
    ComPtr<IShellLinkW> link;
    auto create = LATE_IMPORT(kOle, CoCreateInstance);
    if (!create || FAILED(create(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                 reinterpret_cast<void**>(&link.p))))
        return {};
    return LinkTargetAndArguments(link.p, Utf8ToWide(shortcutPath));
}

void EnumStartupFolder(const std::string& folder, std::vector<AutostartEntry>& entries) {
    WIN32_FIND_DATAW found;
    ScopedFindHandle find(::FindFirstFileW(Utf8ToWide(folder + "\\*").c_str(), &found));
    if (!find) return;
    do {
        std::wstring name = found.cFileName;
        if ((found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) || SameNoCase(name, L"desktop.ini"))
            continue;
        std::string path = folder + "\\" + WideToUtf8(name);
        std::string command = IsShortcut(name) ? ShortcutCommand(path) : std::string();
        entries.push_back({WideToUtf8(name), command.empty() ? path : command, folder});
    } while (::FindNextFileW(find.get(), &found));
}

bool IsStartupFolder(const std::string& location) {
    return ContainsFolder(StartupFolders(), location);
}
