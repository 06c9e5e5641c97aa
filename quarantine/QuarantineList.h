#pragma once
// The quarantine folder's contents as the quarantine page shows them: every ".kv" file that
// carries the marker, with the origin it records. No window code.
#include <string>
#include <vector>

struct QuarantineEntry {
    std::string origin;  // the path the file came from (UTF-8, like every path here)
    std::string path;    // the quarantine file itself
};

// The quarantine files in `folder` (a path ending in a backslash), in the order the folder
// lists them. Files without the marker, and names too long for the path buffers, are skipped.
std::vector<QuarantineEntry> ListQuarantineFiles(const std::string& folder);

// Deletes one quarantine file whatever its attributes; false when it could not be deleted.
bool DeleteQuarantineFile(const std::string& path);
