// Autostart refresh with 1,000 values spread over the locations and both registry views: the
// program's Refresh (sent: back once the list is filled), when nothing changed and when every
// row must be added again, and the engine's listing in this process, against a bare
// enumeration of the same keys with fixed buffers.
//   autostart_bench.exe [rounds]
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include "autostart/AutostartDelete.h"
#include "framework/Handles.h"
#include "tests/support/PageView.h"
#include "tests/support/RegistryViews.h"
#include "tests/support/TestRegistry.h"
#include "tests/support/Wait.h"

namespace {
constexpr int kValues = 1000;
constexpr int kRefresh = 1035;
const std::string kVersion = "Software\\Microsoft\\Windows\\CurrentVersion\\";

struct BenchKey {
    HKEY root;
    std::string path;
    REGSAM view;
};
const BenchKey kKeys[] = {
    {HKEY_LOCAL_MACHINE, kVersion + "Run", KEY_WOW64_64KEY},
    {HKEY_LOCAL_MACHINE, kVersion + "Run", KEY_WOW64_32KEY},
    {HKEY_CURRENT_USER, kVersion + "Run", 0},
    {HKEY_CURRENT_USER, kVersion + "Policies\\Explorer\\Run", 0},
    {HKEY_CURRENT_USER, kVersion + "RunOnce", 0},
    {HKEY_LOCAL_MACHINE, kVersion + "RunServices", KEY_WOW64_32KEY},
    {HKEY_CURRENT_USER, kVersion + "RunServicesOnce", 0},
    {HKEY_LOCAL_MACHINE, kVersion + "RunOnceEx\\0001", KEY_WOW64_64KEY},
};

bool PlantValues(PlantedValues& planted) {
    bool ok = true;
    for (int i = 0; ok && i < kValues; ++i) {
        const BenchKey& key = kKeys[i % std::size(kKeys)];
        wchar_t name[32], data[80];
        std::swprintf(name, 32, L"Bench%04d", i);
        std::swprintf(data, 80, L"C:\\Program Files\\Bench\\tool%04d.exe /background", i);
        ok = planted.AddString(key.root, key.path, key.view, name, data);
    }
    return ok;
}

// Every key the refresh reads: each location in each view, and the planted sub-key.
std::vector<BenchKey> KeysToRead() {
    std::vector<BenchKey> keys;
    for (const AutostartLocation& location : AutostartLocations()) {
        HKEY root = location.hive == kHiveCurrentUser ? HKEY_CURRENT_USER : HKEY_LOCAL_MACHINE;
        keys.push_back({root, location.keyPath, KEY_WOW64_64KEY});
        if (root == HKEY_LOCAL_MACHINE) keys.push_back({root, location.keyPath, KEY_WOW64_32KEY});
    }
    keys.push_back(kKeys[std::size(kKeys) - 1]);
    return keys;
}

// The floor: the same keys read as the simplest reader would, into 256-byte buffers.
int BareEnumeration(const std::vector<BenchKey>& keys) {
    int values = 0;
    for (const BenchKey& key : keys) {
        ScopedRegKey opened;
        if (::RegOpenKeyExW(key.root, std::wstring(key.path.begin(), key.path.end()).c_str(), 0,
                            KEY_QUERY_VALUE | key.view, opened.put()) != ERROR_SUCCESS)
            continue;
        wchar_t name[256];
        BYTE data[256];
        for (DWORD index = 0;; ++index, ++values) {
            DWORD nameLength = 256, dataSize = sizeof(data);
            if (::RegEnumValueW(opened.get(), index, name, &nameLength, nullptr, nullptr, data,
                                &dataSize) != ERROR_SUCCESS)
                break;
        }
    }
    return values;
}

template <typename Step>
double TimeMs(Step step) {
    double began = NowMs();
    step();
    return NowMs() - began;
}
}  // namespace

int main(int argc, char** argv) {
    int rounds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 7;
    KillProcessesNamed("Koravant.exe");
    ResetSettingsAnswered();
    PlantedValues planted;
    KoravantApp app({"autostart-bench"});
    PageView page(app, 159, 1034);
    size_t listed = 0;
    int bare = 0;
    bool ok = PlantValues(planted) && app.StartHidden() && page.Open(1009);
    std::vector<double> bareMs, engineMs, sameMs, changedMs;
    const std::vector<BenchKey> keys = KeysToRead();
    auto refresh = [&] {
        ::Sleep(300);  // the previous round's painting is over
        double ms = TimeMs([&] { ok = ok && page.SendClick(kRefresh, 60000); });
        ok = ok && static_cast<size_t>(page.RowCount()) == listed;
        return ms;
    };
    for (int round = 0; ok && round < rounds; ++round) {
        bareMs.push_back(TimeMs([&] { bare = BareEnumeration(keys); }));
        engineMs.push_back(TimeMs([&] { listed = ListAutostartEntries().size(); }));
        ok = bare >= kValues;
        sameMs.push_back(refresh());
        // The first row changes: every row goes and comes back.
        const BenchKey& top = kKeys[0];
        ok = ok && planted.AddString(top.root, top.path, top.view, L"Bench0000",
                                     L"C:\\Bench\\round" + std::to_wstring(round) + L".exe");
        changedMs.push_back(refresh());
    }
    KillProcessesNamed("Koravant.exe");
    if (!ok) std::printf("autostart bench: the values were not planted, read or listed in full\n");
    if (!ok) return 1;
    for (auto* ms : {&bareMs, &engineMs, &sameMs, &changedMs}) std::sort(ms->begin(), ms->end());
    const char* figures = "  %-44s median %7.1f ms  worst %7.1f ms\n";
    std::printf(
        "autostart refresh, %d values planted in %zu keys (%zu rows from %zu keys and the "
        "Startup folders), %d rounds\n",
        kValues, std::size(kKeys), listed, keys.size(), rounds);
    std::printf(figures, "bare enumeration (256-byte buffers)", bareMs[rounds / 2], bareMs.back());
    std::printf(figures, "engine listing in this process", engineMs[rounds / 2], engineMs.back());
    std::printf(figures, "Refresh, nothing changed (program)", sameMs[rounds / 2], sameMs.back());
    std::printf(figures, "Refresh, every row re-added (program)", changedMs[rounds / 2],
                changedMs.back());
    double ratio = changedMs[rounds / 2] / std::max(bareMs[rounds / 2], 0.001);
    std::printf(
        "  target: Refresh that re-adds every row within 2x the bare enumeration: %.1fx, "
        "%s\n",
        ratio, ratio <= 2.0 ? "met" : "not met");
    return 0;
}
