#pragma once
// Paths live in 256-byte buffers: at most 255 characters. A longer path is refused or
// skipped, never cut.
#include <cstddef>

constexpr size_t kPathBufferSize = 256;
constexpr size_t kMaxPathLength = kPathBufferSize - 1;
