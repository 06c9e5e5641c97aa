// Writing and reading quarantine files: QuarantineCopyFile in both directions and the origin
// reader. The folder and naming logic lives in QuarantineStore.cpp.
#include <windows.h>

#include <atomic>
#include <cstring>

#include "framework/FileSystem.h"
#include "framework/Handles.h"
#include "framework/Text.h"
#include "quarantine/QuarantineFormat.h"
#include "quarantine/QuarantineStore.h"

namespace {

enum class Kind { None, Ansi, Utf8 };

std::atomic<int> g_failingRead{0};
std::atomic<int> g_failingWrite{0};

HANDLE OpenForReading(const std::string& path) {
    return CreateFileUtf8(path, GENERIC_READ, 0, OPEN_EXISTING);
}

// CREATE_NEW: neither a quarantine file nor a restored file ever replaces an existing one.
HANDLE CreateNew(const std::string& path) {
    return CreateFileUtf8(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
}

bool ReadExactly(HANDLE file, void* buffer, DWORD size) {
    DWORD got = 0;
    return ::ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

Kind ReadMarker(HANDLE file) {
    char head[kMarkerLength] = {};
    if (!ReadExactly(file, head, kMarkerLength)) return Kind::None;
    if (std::memcmp(head, kQuarantineMarker, kMarkerLength) == 0) return Kind::Ansi;
    if (std::memcmp(head, kQuarantineMarkerUtf8, kMarkerLength) == 0) return Kind::Utf8;
    return Kind::None;
}

// The most bytes a stored path of this kind may take.
size_t MaxStoredPath(Kind kind) { return kind == Kind::Utf8 ? kMaxUtf8PathBytes : kMaxPathLength; }

enum class HeaderEnd { ContentFollows, EndOfFile, Rejected };

// Skips the stored path up to and including its LF, reading no further than a valid header.
// Overlong or unreadable headers are rejected.
HeaderEnd SkipOriginLine(HANDLE file, Kind kind) {
    for (size_t count = 0; count < MaxStoredPath(kind) + 2; ++count) {
        char byte = 0;
        DWORD got = 0;
        if (!::ReadFile(file, &byte, 1, &got, nullptr)) return HeaderEnd::Rejected;
        if (got == 0) return HeaderEnd::EndOfFile;
        if (byte == '\n') return HeaderEnd::ContentFollows;
    }
    return HeaderEnd::Rejected;
}

// The stored path's bytes up to CR or the end of the file; false when overlong or unreadable.
bool ReadStoredPath(HANDLE file, Kind kind, std::string& stored) {
    for (;;) {
        char byte = 0;
        DWORD got = 0;
        if (!::ReadFile(file, &byte, 1, &got, nullptr)) return false;
        if (got == 0 || byte == '\r') return true;
        // Longer than any path we write: damaged or foreign.
        if (stored.size() == MaxStoredPath(kind)) return false;
        stored += byte;
    }
}

// The stored path as UTF-8. A UTF-8 path must be well formed, hold no zero and keep the
// path limit; an ANSI one stops at a zero, as it always did.
bool DecodeStoredPath(Kind kind, const std::string& stored, std::string& origin) {
    if (kind == Kind::Ansi) {
        origin = AnsiToUtf8(stored.substr(0, stored.find('\0')));
        return true;
    }
    if (stored.find('\0') != std::string::npos || PathLength(stored) > kMaxPathLength ||
        WideToUtf8(Utf8ToWide(stored)) != stored)
        return false;
    origin = stored;
    return true;
}

enum class StreamResult { Done, ReadFailed, WriteFailed };

// Moves the rest of `from` to `to`, adding `shift` to every byte.
StreamResult StreamShifted(HANDLE from, HANDLE to, unsigned char shift) {
    unsigned char in[1024];
    unsigned char out[1024];
    const int failingRead = g_failingRead.load();
    const int failingWrite = g_failingWrite.load();
    for (int block = 1;; ++block) {
        DWORD got = 0;
        if (!::ReadFile(from, in, kCopyBlockSize, &got, nullptr) || block == failingRead)
            return StreamResult::ReadFailed;
        if (got == 0) return StreamResult::Done;
        for (DWORD i = 0; i < got; ++i) out[i] = static_cast<unsigned char>(in[i] + shift);
        if (block == failingWrite || !WriteAll(to, out, got)) return StreamResult::WriteFailed;
    }
}

// A half-written file must not pass for a good one.
void DiscardPartial(ScopedHandle& file, const std::string& path) {
    file.reset();
    DeleteFileUtf8(path);
}

// The result of a content stream into `target`; a failed one leaves no partial file behind.
int FinishCopy(StreamResult result, ScopedHandle& target, const std::string& targetPath,
               int readFailed, int writeFailed) {
    if (result == StreamResult::Done) return kCopyDone;
    DiscardPartial(target, targetPath);
    return result == StreamResult::ReadFailed ? readFailed : writeFailed;
}

int CopyIntoQuarantine(const std::string& filePath, const std::string& quarantinePath) {
    ScopedHandle source(OpenForReading(filePath));
    if (!source) return kCopySourceFailed;
    if (ReadMarker(source.get()) != Kind::None) return kCopyAlreadyCoded;
    if (::SetFilePointer(source.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return kCopySourceFailed;

    ScopedHandle target(CreateNew(quarantinePath));
    if (!target) return kCopyTargetFailed;
    const std::string header = QuarantineHeader(filePath);
    if (!WriteAll(target.get(), header.data(), static_cast<DWORD>(header.size()))) {
        DiscardPartial(target, quarantinePath);
        return kCopyTargetFailed;
    }
    return FinishCopy(StreamShifted(source.get(), target.get(), kContentShift), target,
                      quarantinePath, kCopySourceFailed, kCopyTargetFailed);
}

int RestoreFromQuarantine(const std::string& filePath, const std::string& quarantinePath) {
    ScopedHandle source(OpenForReading(quarantinePath));
    if (!source) return kCopyTargetFailed;
    Kind kind = ReadMarker(source.get());
    if (kind == Kind::None) return kCopyNotQuarantine;
    HeaderEnd headerEnd = SkipOriginLine(source.get(), kind);
    if (headerEnd == HeaderEnd::Rejected) return kCopyNotQuarantine;

    ScopedHandle target(CreateNew(filePath));
    if (!target) return kCopySourceFailed;
    // A file cut inside its path holds no content: it restores empty.
    if (headerEnd == HeaderEnd::EndOfFile) return kCopyDone;
    const unsigned char unshift = static_cast<unsigned char>(256 - kContentShift);
    return FinishCopy(StreamShifted(source.get(), target.get(), unshift), target, filePath,
                      kCopyNotQuarantine, kCopySourceFailed);
}

}  // namespace

std::string QuarantineHeader(const std::string& origin) {
    bool exact = false;
    std::string ansi = Utf8ToAnsi(origin, &exact);
    if (exact && ansi.size() <= kMaxPathLength) return kQuarantineMarker + ansi + "\r\n";
    return kQuarantineMarkerUtf8 + origin + "\r\n";
}

void SetCopyFaultForTesting(int failingRead, int failingWrite) {
    g_failingRead.store(failingRead);
    g_failingWrite.store(failingWrite);
}

int QuarantineCopyFile(const std::string& filePath, const std::string& quarantinePath,
                       bool intoQuarantine) {
    if (!FitsPathLimit(filePath) || !FitsPathLimit(quarantinePath)) return kCopyMissingPath;
    return intoQuarantine ? CopyIntoQuarantine(filePath, quarantinePath)
                          : RestoreFromQuarantine(filePath, quarantinePath);
}

bool ReadQuarantineOrigin(const std::string& quarantinePath, std::string& origin) {
    if (quarantinePath.empty()) return false;
    ScopedHandle file(OpenForReading(quarantinePath));
    if (!file) return false;
    Kind kind = ReadMarker(file.get());
    std::string stored;
    if (kind == Kind::None || !ReadStoredPath(file.get(), kind, stored)) return false;
    return DecodeStoredPath(kind, stored, origin);
}
