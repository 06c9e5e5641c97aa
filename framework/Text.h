#pragma once
// The program's text is UTF-8 in std::string; Windows takes UTF-16 (the W functions) or the
// ANSI code page (the A functions). Names that the code page cannot spell exist, so file and
// process names travel as UTF-8 and meet the system through the W functions.
#include <string>

std::wstring Utf8ToWide(const std::string& text);
std::string WideToUtf8(const std::wstring& text);
// Text from the A functions (the ANSI code page) to UTF-8 and back. `exact` says whether the
// code page spelled every character (a name that comes back with '?' in it names no file).
std::string AnsiToUtf8(const std::string& text);
std::string Utf8ToAnsi(const std::string& text, bool* exact = nullptr);
