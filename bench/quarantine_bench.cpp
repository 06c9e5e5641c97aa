// Quarantine throughput: quarantining and restoring a 200 MB file against CopyFileA of the
// same file, measured side by side in one run (best of a few rounds each).
//   quarantine_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "framework/Handles.h"
#include "quarantine/QuarantineStore.h"
#include "tests/support/TestDrives.h"
#include "tests/support/Wait.h"

namespace {

constexpr DWORD kFileMegabytes = 200;
constexpr char kWorkFolder[] = "C:\\koravant\\quarantine-bench";

bool WritePatternFile(const std::string& path) {
    ScopedHandle file(::CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file) return false;
    std::vector<char> block(1 << 20);
    for (DWORD mb = 0; mb < kFileMegabytes; ++mb) {
        for (size_t i = 0; i < block.size(); ++i) block[i] = static_cast<char>(i * 31 + mb);
        DWORD written = 0;
        if (!::WriteFile(file.get(), block.data(), static_cast<DWORD>(block.size()), &written,
                         nullptr))
            return false;
    }
    return true;
}

bool SameContent(const std::string& a, const std::string& b) {
    ScopedHandle fa(::CreateFileA(a.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  0, nullptr));
    ScopedHandle fb(::CreateFileA(b.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                  0, nullptr));
    if (!fa || !fb) return false;
    std::vector<char> ba(1 << 20), bb(1 << 20);
    for (;;) {
        DWORD ga = 0, gb = 0;
        if (!::ReadFile(fa.get(), ba.data(), static_cast<DWORD>(ba.size()), &ga, nullptr) ||
            !::ReadFile(fb.get(), bb.data(), static_cast<DWORD>(bb.size()), &gb, nullptr))
            return false;
        if (ga != gb || !std::equal(ba.begin(), ba.begin() + ga, bb.begin())) return false;
        if (ga == 0) return true;
    }
}

// The quarantine file that the last QuarantineAndDeleteFile added.
std::string NewQuarantineFile(const std::string& folder, const std::vector<std::string>& before) {
    for (const std::string& name : ListFolder(folder))
        if (std::find(before.begin(), before.end(), name) == before.end())
            return folder + "\\" + name;
    return {};
}

double Best(const std::vector<double>& values) {
    return *std::min_element(values.begin(), values.end());
}

// The floor for any copy in 1000-byte blocks: the same calls without the coding.
bool CopyInSmallBlocks(const std::string& from, const std::string& to) {
    ScopedHandle in(
        ::CreateFileA(from.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ScopedHandle out(::CreateFileA(to.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!in || !out) return false;
    char block[1000];
    DWORD got = 0, written = 0;
    while (::ReadFile(in.get(), block, sizeof(block), &got, nullptr) && got > 0)
        if (!::WriteFile(out.get(), block, got, &written, nullptr)) return false;
    return true;
}

struct Timings {
    std::vector<double> copyMs, blockCopyMs, quarantineMs, restoreMs;
    bool intact = true;
};

bool RunRound(const std::string& source, const std::string& reference,
              const std::string& quarantineFolder, Timings& timings) {
    std::string copy = std::string(kWorkFolder) + "\\copy.bin";
    double began = NowMs();
    if (!::CopyFileA(source.c_str(), copy.c_str(), FALSE)) return false;
    timings.copyMs.push_back(NowMs() - began);
    ::DeleteFileA(copy.c_str());
    began = NowMs();
    if (!CopyInSmallBlocks(source, copy)) return false;
    timings.blockCopyMs.push_back(NowMs() - began);
    ::DeleteFileA(copy.c_str());

    std::vector<std::string> before = ListFolder(quarantineFolder);
    began = NowMs();
    if (!QuarantineAndDeleteFile(source.c_str())) return false;
    timings.quarantineMs.push_back(NowMs() - began);
    std::string coded = NewQuarantineFile(quarantineFolder, before);
    if (coded.empty()) return false;

    began = NowMs();
    int restored = RestoreQuarantinedFile(coded.c_str());
    timings.restoreMs.push_back(NowMs() - began);
    ::DeleteFileA(coded.c_str());
    if (restored != kRestoredToOrigin) return false;
    timings.intact = timings.intact && SameContent(source, reference);
    return true;
}

void Report(const char* what, double ms, double copyMs) {
    std::printf("  %-24s %8.0f ms  %7.1f MB/s", what, ms, kFileMegabytes * 1000.0 / ms);
    if (ms != copyMs) std::printf("  %.2fx the copy", ms / copyMs);
    std::printf("\n");
}

}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 3;
    char folder[kPathBufferSize] = {};
    if (!GetModuleDirectory(folder)) return 1;
    std::string quarantineFolder = std::string(folder) + "quarantine";
    bool hadQuarantine = ::GetFileAttributesA(quarantineFolder.c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!CreateFolders(kWorkFolder) || !GetQuarantineDirectory(folder)) return 1;
    std::string source = std::string(kWorkFolder) + "\\threat.bin";
    std::string reference = std::string(kWorkFolder) + "\\reference.bin";

    Timings timings;
    bool ran = WritePatternFile(source) && ::CopyFileA(source.c_str(), reference.c_str(), FALSE);
    for (int round = 0; ran && round < rounds; ++round)
        ran = RunRound(source, reference, quarantineFolder, timings);
    DeleteTree(kWorkFolder);
    if (!hadQuarantine) ::RemoveDirectoryA(quarantineFolder.c_str());
    if (!ran) {
        std::printf("quarantine bench: a round failed\n");
        return 1;
    }

    std::printf("quarantine of a %lu MB file, best of %d rounds\n", kFileMegabytes, rounds);
    double copyMs = Best(timings.copyMs);
    Report("CopyFileA", copyMs, copyMs);
    Report("copy in 1000-byte blocks", Best(timings.blockCopyMs), copyMs);
    Report("quarantine and delete", Best(timings.quarantineMs), copyMs);
    Report("restore", Best(timings.restoreMs), copyMs);
    std::printf("  restored content %s\n", timings.intact ? "identical" : "DIFFERENT");
    return timings.intact ? 0 : 1;
}
