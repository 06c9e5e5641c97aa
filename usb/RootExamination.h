#pragma once
// The shield's look at a drive root: the entries the shield rule calls threats, in the order
// the root lists them. No window code.
#include <string>
#include <vector>

// The threats in the root of drive `letter`; empty when the root cannot be read (no medium,
// drive gone). Entries whose full path would not fit the 256-byte path buffers are skipped.
std::vector<std::string> FindRootThreats(char letter);
