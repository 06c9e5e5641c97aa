#include "controls/LinkTarget.h"

#include <shellapi.h>

#include <cstdio>

#include "framework/Handles.h"
#include "framework/LateImport.h"

namespace {
constexpr DWORD kRegistryValueSize = 260;

// The default value of `root\subKey`, or false.
bool ReadRegistryDefault(HKEY root, const std::string& subKey, std::string* value) {
    ScopedRegKey key;
    if (::RegOpenKeyExA(root, subKey.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS)
        return false;
    char data[kRegistryValueSize] = {};
    DWORD size = sizeof(data) - 1;
    if (::RegQueryValueExA(key.get(), nullptr, nullptr, nullptr, reinterpret_cast<BYTE*>(data),
                           &size) != ERROR_SUCCESS)
        return false;
    *value = data;
    return true;
}

const char* ReasonText(INT_PTR code) {
    switch (code) {
        case 0:
            return "The operating system is out\nof memory or resources.";
        case SE_ERR_FNF:
            return "The specified file was not found.";
        case SE_ERR_PNF:
            return "The specified path was not found.";
        case SE_ERR_ACCESSDENIED:
            return "The operating system denied\naccess to the specified file.";
        case SE_ERR_OOM:
            return "There was not enough memory to complete the operation.";
        case ERROR_BAD_FORMAT:
            return "The .EXE file is invalid\n(non-Win32 .EXE or error in .EXE image).";
        case SE_ERR_SHARE:
            return "A sharing violation occurred. ";
        case SE_ERR_ASSOCINCOMPLETE:
            return "The filename association is\nincomplete or invalid.";
        case SE_ERR_DDETIMEOUT:
            return "The DDE transaction could not\nbe completed because the request timed out.";
        case SE_ERR_DDEFAIL:
            return "The DDE transaction failed.";
        case SE_ERR_DDEBUSY:
            return "The DDE transaction could not\nbe completed because other DDE transactions\n"
                   "were being processed.";
        case SE_ERR_NOASSOC:
            return "There is no application associated\nwith the given filename extension.";
        case SE_ERR_DLLNOTFOUND:
            return "The specified dynamic-link library was not found.";
        default:
            return nullptr;
    }
}

LONG Half(LONG value) { return value / 2; }
}  // namespace

std::string FallbackOpenCommand(const std::string& openCommand, const std::string& target) {
    std::string command = openCommand;
    size_t placeholder = command.find("\"%1\"");
    if (placeholder == std::string::npos) placeholder = command.find("%1");
    if (placeholder != std::string::npos) command.erase(placeholder);
    return command + " " + target;
}

INT_PTR OpenLinkTarget(const std::string& target, int showCommand) {
    auto result =
        reinterpret_cast<INT_PTR>(LATE_CALL("shell32.dll", ShellExecuteA, nullptr, "open",
                                            target.c_str(), nullptr, nullptr, showCommand));
    if (result > 32) return result;
    std::string htmClass, openCommand;
    if (!ReadRegistryDefault(HKEY_CLASSES_ROOT, ".htm", &htmClass) ||
        !ReadRegistryDefault(HKEY_CLASSES_ROOT, htmClass + "\\shell\\open\\command", &openCommand))
        return result;
    return ::WinExec(FallbackOpenCommand(openCommand, target).c_str(),
                     static_cast<UINT>(showCommand));
}

std::string OpenErrorText(INT_PTR code) {
    std::string text = "Unable to open hyperlink:\n\n";
    if (const char* reason = ReasonText(code)) return text + reason;
    char unknown[64];
    std::snprintf(unknown, sizeof(unknown), "Unknown Error (%d) occurred.", static_cast<int>(code));
    return text + unknown;
}

RECT FitLinkRect(const RECT& window, const RECT& client, SIZE text, DWORD style) {
    LONG width = text.cx + (window.right - window.left) - (client.right - client.left);
    LONG height = text.cy + (window.bottom - window.top) - (client.bottom - client.top);
    RECT fitted = window;
    if (style & SS_CENTERIMAGE) {
        LONG grow = Half(height - (window.bottom - window.top));
        fitted.top -= grow;
        fitted.bottom = fitted.top + height;
    } else {
        fitted.bottom = fitted.top + height;
    }
    DWORD alignment = style & SS_TYPEMASK;
    if (alignment == SS_CENTER) {
        LONG grow = Half(width - (window.right - window.left));
        fitted.left -= grow;
        fitted.right = fitted.left + width;
    } else if (alignment == SS_RIGHT) {
        fitted.left = fitted.right - width;
    } else {
        fitted.right = fitted.left + width;
    }
    return fitted;
}
