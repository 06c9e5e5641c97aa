#pragma once
// The quarantine file layout, byte for byte: an 11-byte marker, the origin path (no
// terminator), CR LF, then the content with every byte plus kContentShift.
//
// Two kinds share that layout. An origin that the ANSI code page spells exactly (in at most
// 255 bytes) is stored in ANSI after "kestrelvane", as it always was. Any other origin is
// stored in UTF-8 after "kestrelutf8": its first 11 bytes differ, so no reader of the first
// kind takes it for one of its own, and UTF-8 holds no CR or LF byte inside a character.
#include <cstddef>
#include <string>

#include "framework/Paths.h"

constexpr char kQuarantineMarker[] = "kestrelvane";
constexpr char kQuarantineMarkerUtf8[] = "kestrelutf8";
constexpr size_t kMarkerLength = sizeof(kQuarantineMarker) - 1;
static_assert(sizeof(kQuarantineMarkerUtf8) - 1 == kMarkerLength);
constexpr unsigned char kContentShift = 0x1D;
// Content moves in blocks of this size at most; no file is ever held whole in memory.
constexpr size_t kCopyBlockSize = 1000;
// A UTF-16 unit takes at most three UTF-8 bytes (a surrogate pair four bytes for two units).
constexpr size_t kMaxUtf8PathBytes = 3 * kMaxPathLength;

// The marker, the stored origin and CR LF for a file quarantined from `origin` (UTF-8).
std::string QuarantineHeader(const std::string& origin);

// Tests make the n-th block read or write of the content loop fail (counted from 1 within
// each copy; 0 turns the fault off).
void SetCopyFaultForTesting(int failingRead, int failingWrite);
