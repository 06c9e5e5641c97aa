#pragma once
// Opening a link's target, and what to tell the user when that fails. No window code.
#include <windows.h>

#include <string>

// Opens `target` with the shell; when the shell cannot, runs the command that opens ".htm"
// files with the target in place of its "%1". Returns the shell's or the fallback's result
// (above 32 on success).
INT_PTR OpenLinkTarget(const std::string& target, int showCommand);

// The ".htm" open command with `target` in place of its placeholder: the text is cut at a
// quoted "%1" (or else a bare %1), and a blank and the target are appended.
std::string FallbackOpenCommand(const std::string& openCommand, const std::string& target);

// "Unable to open hyperlink:\n\n" and the reason for a shell result code.
std::string OpenErrorText(INT_PTR code);

// Where a link control goes when it is fitted to its text: `window` resized to the text's
// size plus its frame, keeping the left edge, the right edge (right-aligned) or the centre
// (centred), and the top or the vertical centre (centred image).
RECT FitLinkRect(const RECT& window, const RECT& client, SIZE text, DWORD style);
