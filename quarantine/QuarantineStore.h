#pragma once
// The quarantine: a folder beside the executable holding a coded copy of every file deleted
// as a threat. A quarantine file is the marker "kestrelvane", the origin path, CR LF, then
// every byte of the file plus 0x1D (mod 256). No window code; callable from any thread.
// Paths live in 256-byte buffers (at most 255 characters); longer ones are refused.
#include <cstddef>

#include "framework/Paths.h"

// Results of QuarantineCopyFile. A read or write error while the content moves is a failure
// too: the half-written file is removed and the code names the side that failed.
enum QuarantineCopyResult {
    kCopyDone = 1,           // quarantine file written / file restored
    kCopyMissingPath = 2,    // a path is missing (or longer than 255 characters)
    kCopySourceFailed = 3,   // into: source not readable; restore: target not creatable/writable
    kCopyTargetFailed = 4,   // into: quarantine file not creatable/writable; restore: not openable
    kCopyAlreadyCoded = 5,   // into: the file already begins with the marker
    kCopyNotQuarantine = 6,  // restore: not a quarantine file, or not readable
};

// Results of RestoreQuarantinedFile.
enum RestoreResult { kRestoreFailed = 0, kRestoredToOrigin = 1, kRestoredToDesktop = 2 };

// The part of `path` after its last backslash, into a 256-byte buffer; false (and `out`
// untouched) when the path holds no backslash.
bool GetFileNamePart(const char* path, char* out);
// "<exe folder>quarantine\", created when missing, into a 256-byte buffer.
bool GetQuarantineDirectory(char* out);

// Writes the quarantine file for `filePath` (into) or recreates `filePath` from it (restore).
// Never replaces an existing file.
int QuarantineCopyFile(const char* filePath, const char* quarantinePath, bool intoQuarantine);
// Quarantines (best effort) and deletes the existing file at `path`; true when deleted. A name
// already in the quarantine keeps its copy: the new one becomes "name (2).kv" and so on.
bool QuarantineAndDeleteFile(const char* path);
// The origin path stored in a quarantine file, into a 256-byte buffer; false (and `origin`
// untouched) for a file that is no quarantine file or stores a path longer than 255.
bool ReadQuarantineOrigin(const char* quarantinePath, char* origin);
// Restores to the origin, else to the desktop folder; never overwrites.
int RestoreQuarantinedFile(const char* quarantinePath);
