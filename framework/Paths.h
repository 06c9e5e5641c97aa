#pragma once
// Paths live in 256-byte buffers: at most 255 characters. A longer path is refused or
// skipped, never cut.
#include <cstddef>
#include <string>

constexpr size_t kPathBufferSize = 256;
constexpr size_t kMaxPathLength = kPathBufferSize - 1;

// The executable's folder with a trailing backslash, or "" when it does not fit the limit.
std::string GetModuleDirectory();
