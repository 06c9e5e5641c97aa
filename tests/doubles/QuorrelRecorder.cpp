// Stand-in for the updater "Quorrel.exe": writes its command line, then each argument it
// received on a line of its own, to "quorrel.log" beside itself, in UTF-8 (its folder's name
// may be one the ANSI code page cannot spell).
#include <windows.h>
#include <shellapi.h>

#include <cstdio>
#include <string>

namespace {
std::string Utf8(const wchar_t* text) {
    char buffer[4096] = {};
    ::WideCharToMultiByte(CP_UTF8, 0, text, -1, buffer, sizeof(buffer) - 1, nullptr, nullptr);
    return buffer;
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
    // In one write: the tests read the log as soon as it is not empty.
    FILE* file = _wfopen(log.c_str(), L"wb");
    bool written = file && std::fwrite(text.data(), 1, text.size(), file) == text.size();
    return file && std::fclose(file) == 0 && written ? 0 : 1;
}
