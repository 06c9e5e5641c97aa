// Stand-in for the updater "Quorrel.exe": writes its command line, then each argument it
// received on a line of its own, to "quorrel.log" beside itself, in UTF-8 (its folder's name
// may be one the ANSI code page cannot spell).
#include <windows.h>
#include <shellapi.h>

#include <string>

namespace {
std::string Utf8(const wchar_t* text) {
    char buffer[4096] = {};
    int length =
        ::WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer), nullptr, nullptr);
    return std::string(buffer, length > 0 ? length - 1 : 0);
}
}  // namespace

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    wchar_t path[MAX_PATH] = {};
    std::wstring log(path, ::GetModuleFileNameW(nullptr, path, MAX_PATH));
    log.replace(log.rfind(L'\\') + 1, std::wstring::npos, L"quorrel.log");
    std::string text = Utf8(::GetCommandLineW()) + "\r\n";
    int count = 0;
    wchar_t** arguments = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    for (int i = 1; arguments && i < count; ++i) text += Utf8(arguments[i]) + "\r\n";
    ::LocalFree(arguments);
    HANDLE file = ::CreateFileW(log.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return 1;
    DWORD written = 0;
    bool ok = ::WriteFile(file, text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
    ::CloseHandle(file);
    return ok && written == text.size() ? 0 : 1;
}
