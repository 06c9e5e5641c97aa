#include "app/PageTable.h"

#include "res/resource.h"

namespace {
const PageInfo kPages[kPageCount] = {
    {kPageInformation, IDC_PAGE_INFO, IDD_INFO, IDB_PAGE_INFO_HOT, IDB_PAGE_INFO, IDS_TIP_INFO},
    {kPagePlugwatch, IDC_PAGE_PLUGWATCH, IDD_PLUGWATCH, IDB_PAGE_PLUGWATCH_HOT, IDB_PAGE_PLUGWATCH,
     IDS_TIP_PLUGWATCH},
    {kPagePlugsweep, IDC_PAGE_PLUGSWEEP, IDD_PLUGSWEEP, IDB_PAGE_PLUGSWEEP_HOT, IDB_PAGE_PLUGSWEEP,
     IDS_TIP_PLUGSWEEP},
    {kPagePlugkit, IDC_PAGE_PLUGKIT, IDD_PLUGKIT, IDB_PAGE_PLUGKIT_HOT, IDB_PAGE_PLUGKIT,
     IDS_TIP_PLUGKIT},
    {kPageTaskwatch, IDC_PAGE_TASKWATCH, IDD_TASKWATCH, IDB_PAGE_TASKWATCH_HOT, IDB_PAGE_TASKWATCH,
     IDS_TIP_TASKWATCH},
    {kPageAutostart, IDC_PAGE_AUTOSTART, IDD_AUTOSTART, IDB_PAGE_AUTOSTART_HOT, IDB_PAGE_AUTOSTART,
     IDS_TIP_AUTOSTART},
    {kPageRepairSystem, IDC_PAGE_REPAIR, IDD_REPAIR, IDB_PAGE_REPAIR_HOT, IDB_PAGE_REPAIR,
     IDS_TIP_REPAIR},
    {kPageQuarantine, IDC_PAGE_QUARANTINE, IDD_QUARANTINE, IDB_PAGE_QUARANTINE_HOT,
     IDB_PAGE_QUARANTINE, IDS_TIP_QUARANTINE},
};
}  // namespace

const PageInfo& PageByIndex(int index) { return kPages[index - 1]; }

int PageIndexOfButton(UINT buttonId) {
    for (const PageInfo& page : kPages)
        if (page.buttonId == buttonId) return page.index;
    return 0;
}
