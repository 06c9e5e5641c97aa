#pragma once
// The quarantine file layout, byte for byte: the 11-byte marker, the origin path (at most 255
// characters, no terminator), CR LF, then the content with every byte plus kContentShift.
#include <cstddef>

constexpr char kQuarantineMarker[] = "kestrelvane";
constexpr size_t kMarkerLength = sizeof(kQuarantineMarker) - 1;
constexpr unsigned char kContentShift = 0x1D;
// Content moves in blocks of this size at most; no file is ever held whole in memory.
constexpr size_t kCopyBlockSize = 1000;

// Tests make the n-th block read or write of the content loop fail (counted from 1 within
// each copy; 0 turns the fault off).
void SetCopyFaultForTesting(int failingRead, int failingWrite);
