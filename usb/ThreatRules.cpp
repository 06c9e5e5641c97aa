#include "usb/ThreatRules.h"

#include <windows.h>

#include <cstring>

#include "framework/FileSystem.h"

namespace {

// Numbered from 1 in this order; callers test specific numbers.
constexpr const char* kRiskyExtensions[] = {
    ".exe", ".com", ".dll", ".html", ".bat", ".inf", ".pif",  ".reg", ".lnk",
    ".scr", ".asp", ".js",  ".vbs",  ".wsf", ".wsh", ".aspx", ".htt", ".htm",
    ".htx", ".jsp", ".jse", ".ws",   ".wsc", ".vb",  ".vbe",  ".cmd", ".hta",
};
static_assert(sizeof(kRiskyExtensions) / sizeof(kRiskyExtensions[0]) == 27);

constexpr int kInf = 6;
constexpr size_t kMaxExtensionLength = 9;

// Executables and pages that are normal on a stick unless someone hid them.
bool SuspiciousOnlyWhenHidden(int extensionClass) {
    switch (extensionClass) {
        case 1:   // .exe
        case 3:   // .dll
        case 4:   // .html
        case 6:   // .inf
        case 16:  // .aspx
        case 18:  // .htm
            return true;
        default:
            return false;
    }
}

char LowerAscii(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

bool IsDirectory(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0; }

bool IsHidden(DWORD attributes) { return (attributes & FILE_ATTRIBUTE_HIDDEN) != 0; }

// The rules read the attributes once and classify by them: the scan judges every file of a
// drive, so one query per file is the budget.
int ClassifyWithAttributes(const char* path, DWORD attributes) {
    if (!path || IsDirectory(attributes)) return 0;  // INVALID_FILE_ATTRIBUTES has the bit too
    size_t length = std::strlen(path);
    size_t dot = length;
    for (size_t i = length; i-- > 1;) {
        if (path[i] == '.') {
            dot = i;
            break;
        }
    }
    if (dot == length) return 0;
    char extension[kMaxExtensionLength + 1] = {};
    std::strncpy(extension, path + dot, kMaxExtensionLength);
    int number = 1;
    for (const char* entry : kRiskyExtensions) {
        if (MatchNoCase(extension, entry, std::strlen(entry))) return number;
        ++number;
    }
    return 0;
}

}  // namespace

bool MatchNoCase(const char* text, const char* reference, size_t length) {
    if (!text || !reference) return false;
    for (size_t i = 0; i < length; ++i) {
        if (text[i] == 0 || reference[i] == 0) return false;
        if (LowerAscii(text[i]) != LowerAscii(reference[i])) return false;
    }
    return text[length] == 0 && reference[length] == 0;
}

int ClassifyExtension(const char* path) {
    if (!path) return 0;
    return ClassifyWithAttributes(path, FileAttributes(path));
}

bool IsShieldThreat(const char* path) {
    if (!path) return false;
    DWORD attributes = FileAttributes(path);
    int extensionClass = ClassifyWithAttributes(path, attributes);
    if (extensionClass == kInf) return true;
    return extensionClass != 0 && IsHidden(attributes);
}

bool IsScanSuspicious(const char* path) {
    if (!path) return false;
    DWORD attributes = FileAttributes(path);
    int extensionClass = ClassifyWithAttributes(path, attributes);
    if (extensionClass == 0) return false;
    return !SuspiciousOnlyWhenHidden(extensionClass) || IsHidden(attributes);
}
