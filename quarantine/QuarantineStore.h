#pragma once
// The quarantine: a folder beside the executable holding a coded copy of every file deleted
// as a threat (QuarantineFormat.h tells the layout). No window code; callable from any thread.
// Paths are UTF-8 of at most 255 UTF-16 units; longer ones are refused, never cut.
#include <string>

#include "framework/Paths.h"

// Results of QuarantineCopyFile. A read or write error while the content moves is a failure
// too: the half-written file is removed and the code names the side that failed.
enum QuarantineCopyResult {
    kCopyDone = 1,           // quarantine file written / file restored
    kCopyMissingPath = 2,    // a path is missing (or longer than 255 units)
    kCopySourceFailed = 3,   // into: source not readable; restore: target not creatable/writable
    kCopyTargetFailed = 4,   // into: quarantine file not creatable/writable; restore: not openable
    kCopyAlreadyCoded = 5,   // into: the file already begins with a marker
    kCopyNotQuarantine = 6,  // restore: not a quarantine file, or not readable
};

// Results of RestoreQuarantinedFile.
enum RestoreResult { kRestoreFailed = 0, kRestoredToOrigin = 1, kRestoredToDesktop = 2 };

// The part of `path` after its last backslash; false (and `out` untouched) when the path
// holds no backslash.
bool GetFileNamePart(const std::string& path, std::string& out);
// "<exe folder>quarantine\", created when missing.
bool GetQuarantineDirectory(std::string& out);

// Writes the quarantine file for `filePath` (into) or recreates `filePath` from it (restore).
// Never replaces an existing file.
int QuarantineCopyFile(const std::string& filePath, const std::string& quarantinePath,
                       bool intoQuarantine);
// Quarantines and then deletes the existing file at `path`; true when deleted. A file that
// could not be copied (unreadable, folder or disk failing) stays; one already coded is
// deleted without a second copy; one that could not be deleted keeps no copy. A name already
// in the quarantine keeps its copy: the new one becomes "name (2).kv" and so on.
bool QuarantineAndDeleteFile(const std::string& path);
// The origin path stored in a quarantine file of either kind, as UTF-8; false (and `origin`
// untouched) for a file that is no quarantine file or stores a damaged or overlong path.
bool ReadQuarantineOrigin(const std::string& quarantinePath, std::string& origin);
// Restores to the origin, else to the desktop folder; never overwrites.
int RestoreQuarantinedFile(const std::string& quarantinePath);
