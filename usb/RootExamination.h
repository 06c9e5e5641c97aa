#pragma once
// The shield's look at a drive root: the entries the shield rule calls threats, in the order
// the root lists them. No window code.
#include <string>
#include <vector>

// The threats in the root of drive `letter` as UTF-8 paths, whatever script names them; empty
// when the root cannot be read (no medium, drive gone). Entries whose full path is longer
// than 255 UTF-16 units are skipped.
std::vector<std::string> FindRootThreats(char letter);
