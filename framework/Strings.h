#pragma once
// String-table access and the message boxes whose texts come from it.
#include <windows.h>

#include <string>

// The string-table entry `id`, or an empty string when there is none.
std::string LoadResString(UINT id);

// Shows `text` (UTF-8) with the program's title; OK only unless `type` says otherwise.
int AfxMessageBox(const char* text, UINT type = MB_OK);
int AfxMessageBox(const std::string& text, UINT type = MB_OK);
// Shows the string-table entry `stringId`.
int AfxMessageBox(UINT stringId, UINT type = MB_OK);
