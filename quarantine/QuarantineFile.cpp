// Writing and reading quarantine files: QuarantineCopyFile in both directions and the origin
// reader. The folder and naming logic lives in QuarantineStore.cpp.
#include <windows.h>

#include <atomic>
#include <cstring>

#include "framework/Handles.h"
#include "quarantine/QuarantineFormat.h"
#include "quarantine/QuarantineStore.h"

namespace {

// The stored path, its CR and its LF: a reader that sees no LF by then is not reading ours.
constexpr size_t kMaxHeaderTail = kMaxPathLength + 2;

std::atomic<int> g_failingRead{0};
std::atomic<int> g_failingWrite{0};

bool UsablePath(const char* path) {
    return path && path[0] != 0 && std::strlen(path) <= kMaxPathLength;
}

HANDLE OpenForReading(const char* path) {
    return ::CreateFileA(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                         nullptr);
}

// CREATE_NEW: neither a quarantine file nor a restored file ever replaces an existing one.
HANDLE CreateNew(const char* path) {
    return ::CreateFileA(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                         FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadExactly(HANDLE file, void* buffer, DWORD size) {
    DWORD got = 0;
    return ::ReadFile(file, buffer, size, &got, nullptr) && got == size;
}

bool WriteAll(HANDLE file, const void* data, DWORD size) {
    DWORD written = 0;
    return ::WriteFile(file, data, size, &written, nullptr) && written == size;
}

bool StartsWithMarker(HANDLE file) {
    char head[kMarkerLength] = {};
    return ReadExactly(file, head, kMarkerLength) &&
           std::memcmp(head, kQuarantineMarker, kMarkerLength) == 0;
}

enum class HeaderEnd { ContentFollows, EndOfFile, Rejected };

// Skips the stored path up to and including its LF, reading no further than a valid header.
// Overlong or unreadable headers are rejected.
HeaderEnd SkipOriginLine(HANDLE file) {
    for (size_t count = 0; count < kMaxHeaderTail; ++count) {
        char byte = 0;
        DWORD got = 0;
        if (!::ReadFile(file, &byte, 1, &got, nullptr)) return HeaderEnd::Rejected;
        if (got == 0) return HeaderEnd::EndOfFile;
        if (byte == '\n') return HeaderEnd::ContentFollows;
    }
    return HeaderEnd::Rejected;
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
void DiscardPartial(ScopedHandle& file, const char* path) {
    file.reset();
    ::DeleteFileA(path);
}

// The result of a content stream into `target`; a failed one leaves no partial file behind.
int FinishCopy(StreamResult result, ScopedHandle& target, const char* targetPath, int readFailed,
               int writeFailed) {
    if (result == StreamResult::Done) return kCopyDone;
    DiscardPartial(target, targetPath);
    return result == StreamResult::ReadFailed ? readFailed : writeFailed;
}

int CopyIntoQuarantine(const char* filePath, const char* quarantinePath) {
    ScopedHandle source(OpenForReading(filePath));
    if (!source) return kCopySourceFailed;
    if (StartsWithMarker(source.get())) return kCopyAlreadyCoded;
    if (::SetFilePointer(source.get(), 0, nullptr, FILE_BEGIN) == INVALID_SET_FILE_POINTER)
        return kCopySourceFailed;

    ScopedHandle target(CreateNew(quarantinePath));
    if (!target) return kCopyTargetFailed;
    const DWORD pathLength = static_cast<DWORD>(std::strlen(filePath));
    if (!WriteAll(target.get(), kQuarantineMarker, kMarkerLength) ||
        !WriteAll(target.get(), filePath, pathLength) || !WriteAll(target.get(), "\r\n", 2)) {
        DiscardPartial(target, quarantinePath);
        return kCopyTargetFailed;
    }
    return FinishCopy(StreamShifted(source.get(), target.get(), kContentShift), target,
                      quarantinePath, kCopySourceFailed, kCopyTargetFailed);
}

int RestoreFromQuarantine(const char* filePath, const char* quarantinePath) {
    ScopedHandle source(OpenForReading(quarantinePath));
    if (!source) return kCopyTargetFailed;
    if (!StartsWithMarker(source.get())) return kCopyNotQuarantine;
    HeaderEnd headerEnd = SkipOriginLine(source.get());
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

void SetCopyFaultForTesting(int failingRead, int failingWrite) {
    g_failingRead.store(failingRead);
    g_failingWrite.store(failingWrite);
}

int QuarantineCopyFile(const char* filePath, const char* quarantinePath, bool intoQuarantine) {
    if (!UsablePath(filePath) || !UsablePath(quarantinePath)) return kCopyMissingPath;
    return intoQuarantine ? CopyIntoQuarantine(filePath, quarantinePath)
                          : RestoreFromQuarantine(filePath, quarantinePath);
}

bool ReadQuarantineOrigin(const char* quarantinePath, char* origin) {
    if (!quarantinePath || !quarantinePath[0] || !origin) return false;
    ScopedHandle file(OpenForReading(quarantinePath));
    if (!file || !StartsWithMarker(file.get())) return false;
    char path[kPathBufferSize] = {};
    size_t length = 0;
    for (;;) {
        char byte = 0;
        DWORD got = 0;
        if (!::ReadFile(file.get(), &byte, 1, &got, nullptr)) return false;
        if (got == 0 || byte == '\r') break;
        // Longer than any path we write: damaged or foreign.
        if (length == kMaxPathLength) return false;
        path[length++] = byte;
    }
    std::memcpy(origin, path, length + 1);
    return true;
}
