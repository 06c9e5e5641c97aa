#pragma once
// The quarantine: a folder beside the executable holding a coded copy of every file deleted
// as a threat. A quarantine file is the marker "kestrelvane", the origin path, CR LF, then
// every byte of the file plus 0x1D (mod 256). No window code; callable from any thread.
// Paths live in 256-byte buffers (at most 255 characters); longer ones are refused.
#include <cstddef>

constexpr size_t kPathBufferSize = 256;
constexpr size_t kMaxPathLength = kPathBufferSize - 1;

// Results of QuarantineCopyFile.
enum QuarantineCopyResult {
    kCopyDone = 1,          // quarantine file written / file restored
    kCopyMissingPath = 2,   // a path is missing (or longer than 255 characters)
    kCopySourceFailed = 3,  // into: source not readable; restore: target not creatable
    kCopyTargetFailed = 4,  // into: quarantine file not creatable; restore: not readable
    kCopyAlreadyCoded = 5,  // into: the file already begins with the marker
    kCopyNotQuarantine = 6, // restore: not a quarantine file
};

// Results of RestoreQuarantinedFile.
enum RestoreResult { kRestoreFailed = 0, kRestoredToOrigin = 1, kRestoredToDesktop = 2 };

// The executable's folder with a trailing backslash, into a 256-byte buffer.
bool GetModuleDirectory(char* out);
// The part of `path` after its last backslash, into a 256-byte buffer; false (and `out`
// untouched) when the path holds no backslash.
bool GetFileNamePart(const char* path, char* out);
// "<exe folder>quarantine\", created when missing, into a 256-byte buffer.
bool GetQuarantineDirectory(char* out);

int QuarantineCopyFile(const char* filePath, const char* quarantinePath, bool intoQuarantine);
// Quarantines (best effort) and deletes the existing file at `path`; true when deleted.
bool QuarantineAndDeleteFile(const char* path);
// The origin path stored in a quarantine file, into a 256-byte buffer.
bool ReadQuarantineOrigin(const char* quarantinePath, char* origin);
// Restores to the origin, else to the desktop folder; never overwrites.
int RestoreQuarantinedFile(const char* quarantinePath);
