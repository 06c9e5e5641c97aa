#include "repair/RepairTable.h"

#include "res/resource.h"

const char kBrowserHomePage[] = "http://go.microsoft.com/fwlink/?LinkId=69157";
const char kBrowserSearchPage[] = "http://www.microsoft.com/isapi/redir.dll?prd=ie&ar=iesearch";

namespace {
const char kL1[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kL2[] =
    "HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char kL3[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced"
    "\\Folder\\Hidden\\SHOWALL";
const char kL4[] =
    "HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced"
    "\\Folder\\Hidden\\HiddenFileExt";
const char kL5[] = "HKEY_CURRENT_USER\\Software\\Microsoft\\Internet Explorer\\";
const char kL6[] = "HKEY_LOCAL_MACHINE\\Microsoft\\Internet Explorer\\";
const char kL7[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\CLASSES\\txtfile\\shell\\open\\command";

const char kExplorerPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\Explorer";
const char kSystemPolicies[] = "Software\\Microsoft\\Windows\\CurrentVersion\\Policies\\System";
const char kShowAll[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\Hidden\\SHOWALL";
// The row shows L4, but the step acts on this key, as the table has always done.
const char kHiddenFileExt[] =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Advanced\\Folder\\HiddenFileExt";
const char kMachineBrowser[] = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
const char kUserBrowser[] = "Software\\Microsoft\\Internet Explorer\\Main";
const char kTextFileOpen[] = "SOFTWARE\\CLASSES\\txtfile\\shell\\open\\command";

constexpr DWORD kShortText = 50, kLongText = 100;

RegistryStep Policy(const char* name) {
    return {RepairAction::DeleteValue, RepairHive::CurrentUser, kExplorerPolicies, name};
}

RegistryStep Number(RepairHive hive, const char* key, const char* name, DWORD number) {
    return {RepairAction::SetDword, hive, key, name, number};
}

RegistryStep Text(RepairHive hive, const char* key, const char* name, const char* text,
                  DWORD length, DWORD type = REG_SZ) {
    return {RepairAction::SetText, hive, key, name, 0, text, type, length};
}

// The browser's value `name` set to `text`, first machine-wide, then for the user.
std::vector<RegistryStep> BothBrowserKeys(const char* name, const char* text, DWORD length) {
    return {Text(RepairHive::MachineEveryView, kMachineBrowser, name, text, length),
            Text(RepairHive::CurrentUser, kUserBrowser, name, text, length)};
}

std::vector<RegistryStep> BrowserSecondPart() {
    std::vector<RegistryStep> steps = {
        Text(RepairHive::CurrentUser, kUserBrowser, "Start Page", kBrowserHomePage, kShortText)};
    for (auto part : {BothBrowserKeys("default_page_url", kBrowserHomePage, kShortText),
                      BothBrowserKeys("Search Page", kBrowserSearchPage, kLongText)})
        steps.insert(steps.end(), part.begin(), part.end());
    for (const char* name : {"Settings", "Links", "SecAddSites"})
        steps.push_back({RepairAction::DeleteValue, RepairHive::CurrentUser, kUserBrowser, name});
    auto title = BothBrowserKeys("Window Title", "Microsoft Internet Explorer", kShortText);
    steps.insert(steps.end(), title.begin(), title.end());
    return steps;
}

// Rows 1-25: each deletes one Explorer policy, some a few more after the row is listed; row 24
// sets the AutoRun policy instead.
std::vector<RepairRow> PolicyRows() {
    const struct {
        const char* value;
        std::vector<const char*> after;
    } policies[] = {
        {"NoFolderOptions", {}},
        {"NoRecentDocsMenu", {}},
        {"NoRecentDocsHistory", {}},
        {"ClearRecentDocsOnExit", {}},
        {"NoFavoritesMenu", {}},
        {"NoSMHelp", {}},
        {"NoFind", {}},
        {"NoRun", {}},
        {"NoLogOff", {"StartMenuLogOff"}},
        {"NoClose", {}},
        {"NoSetFolders", {}},
        {"NoSetTaskbar", {}},
        {"NoWindowsUpdate", {}},
        {"NoSetActiveDesktop", {"NoActiveDesktop", "NoActiveDesktopChanges"}},
        {"NoFileMenu", {}},
        {"NoNetConnectDisconnect", {}},
        {"NoWebView", {}},
        {"Nodesktop", {}},
        {"NoNetHood", {}},
        {"NoInternetIcon", {}},
        {"NoViewContextMenu", {"NoTrayContextMenu", "NoChangeStartMenu"}},
        {"NoAddPrinter", {"NoDeletePrinter", "NoPrinterTabs"}},
        {"NoDrives", {}},
        {"NoDriveTypeAutoRun", {}},
        {"RestrictRun", {}},
    };
    std::vector<RepairRow> table;
    UINT stateId = IDS_REPAIR_ROW_FIRST;
    for (const auto& policy : policies) {
        RepairRow row{kL1, stateId++, {Policy(policy.value)}, {}};
        for (const char* name : policy.after) row.after.push_back(Policy(name));
        table.push_back(std::move(row));
    }
    table[23].before = {
        Number(RepairHive::CurrentUser, kExplorerPolicies, "NoDriveTypeAutoRun", 0x95)};
    return table;
}

std::vector<RepairRow> MakeRepairTable() {
    std::vector<RepairRow> table = PolicyRows();
    UINT stateId = IDS_REPAIR_ROW_FIRST + static_cast<UINT>(table.size());
    table.push_back({kL2,
                     stateId++,
                     {Number(RepairHive::CurrentUser, kSystemPolicies, "DisableRegistryTools", 0)},
                     {}});
    table.push_back(
        {kL3, stateId++, {Number(RepairHive::Machine, kShowAll, "CheckedValue", 1)}, {}});
    table.push_back(
        {kL4, stateId++, {Number(RepairHive::Machine, kHiddenFileExt, "CheckedValue", 1)}, {}});
    table.push_back({kL5,
                     stateId,
                     {Text(RepairHive::MachineEveryView, kMachineBrowser, "Start Page",
                           kBrowserHomePage, kShortText)},
                     {}});
    table.push_back({kL6, stateId++, BrowserSecondPart(), {}});
    table.push_back({kL7,
                     stateId,
                     {Text(RepairHive::Machine, kTextFileOpen, "",
                           "%SystemRoot%\\system32\\NOTEPAD.EXE %1", kShortText, REG_EXPAND_SZ)},
                     {}});
    return table;
}
}  // namespace

const std::vector<RepairRow>& RepairTable() {
    static const std::vector<RepairRow> table = MakeRepairTable();
    return table;
}
