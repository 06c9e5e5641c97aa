#include "framework/Text.h"

#include <windows.h>

namespace {
std::wstring ToWide(UINT codePage, const std::string& text) {
    if (text.empty()) return {};
    int length =
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), nullptr, 0);
    std::wstring wide(static_cast<size_t>(length > 0 ? length : 0), L'\0');
    if (length > 0)
        ::MultiByteToWideChar(codePage, 0, text.data(), static_cast<int>(text.size()), wide.data(),
                              length);
    return wide;
}

std::string FromWide(UINT codePage, const std::wstring& wide, BOOL* usedDefault) {
    if (wide.empty()) return {};
    int length = ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()),
                                       nullptr, 0, nullptr, nullptr);
    std::string text(static_cast<size_t>(length > 0 ? length : 0), '\0');
    if (length > 0)
        ::WideCharToMultiByte(codePage, 0, wide.data(), static_cast<int>(wide.size()), text.data(),
                              length, nullptr, usedDefault);
    return text;
}
}  // namespace

std::wstring Utf8ToWide(const std::string& text) { return ToWide(CP_UTF8, text); }

std::string WideToUtf8(const std::wstring& text) { return FromWide(CP_UTF8, text, nullptr); }

std::string AnsiToUtf8(const std::string& text) { return WideToUtf8(ToWide(CP_ACP, text)); }

std::string Utf8ToAnsi(const std::string& text, bool* exact) {
    std::wstring wide = Utf8ToWide(text);
    BOOL usedDefault = FALSE;
    std::string ansi = FromWide(CP_ACP, wide, &usedDefault);
    // A best-fit mapping ("é" to "e" in some code pages) spells another name: not exact either.
    if (exact) *exact = !usedDefault && ToWide(CP_ACP, ansi) == wide;
    return ansi;
}
