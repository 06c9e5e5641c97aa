#include "usb/PlugwatchPage.h"

#include "framework/Strings.h"
#include "usb/RootExamination.h"

namespace {
const ThreatListIds kShieldIds = {
    IDC_SHIELD_LIST,
    IDC_SHIELD_RESULT,
    IDC_SHIELD_DELETE,
    IDC_SHIELD_DELETE_ALL,
    IDS_COLUMN_THREAT,
    IDS_COLUMN_STATE,
    false,
    IDS_REMOVE_AND_REPLUG,
};
}  // namespace

CPlugwatchPage::CPlugwatchPage() : CThreatListPage(IDD_PLUGWATCH, kShieldIds) {}

BOOL CPlugwatchPage::OnInitDialog() {
    CThreatListPage::OnInitDialog();
    m_picture.SubclassDlgItem(IDC_SHIELD_PICTURE, this);
    m_picture.LoadBitmapImages(IDB_SHIELD_BANNER, RGB(255, 255, 255), 0, RGB(255, 255, 255));
    m_picture.SetHoverBorder(FALSE, TRUE);
    return TRUE;
}

bool CPlugwatchPage::ExamineDrives(const char* letters, int count) {
    if (!letters || count <= 0) return false;
    // The rows are about to change: a delete-all still walking the old ones stops here.
    StopDeleteAll();
    std::string risky = LoadResString(IDS_STATE_RISKY);
    EnableCommands(false);
    std::vector<std::string> threats;
    for (int i = 0; i < count; ++i) {
        std::vector<std::string> found = FindRootThreats(letters[i]);
        threats.insert(threats.end(), found.begin(), found.end());
    }
    AddThreatRows(threats, risky);
    SetResultLine(static_cast<int>(threats.size()));
    EnableCommands(true);
    return true;
}
