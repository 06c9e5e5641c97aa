#pragma once
// List-view messages that carry pointers are not marshalled between processes: these read
// and select rows through memory allocated inside the program under test.
#include <windows.h>

#include <string>
#include <vector>

using ListRows = std::vector<std::vector<std::string>>;

int ListRowCount(HWND list);
// Every row, every column, as the user sees them.
ListRows ReadListView(HWND list);
// Selects and focuses row `row` alone (or clears the selection for -1).
bool SelectListRow(HWND list, int row);
int SelectedListRow(HWND list);
