#include "usb/PlugkitPage.h"

#include <mmsystem.h>

#include <cstdio>

#include "framework/LateImport.h"
#include "framework/Strings.h"
#include "framework/WinApp.h"
#include "usb/DriveList.h"
#include "usb/Immunity.h"
#include "usb/SafeRemoval.h"

namespace {

void SetUpButton(CSkinButton& button, CWnd* page, UINT id, UINT bitmap, UINT tip) {
    AttachCommandButton(button, page, id, bitmap, LoadResString(tip).c_str());
}

// An AutoRun file was deleted from `root`: the alert sound, and a warning naming the root.
void WarnAboutRootFile(const char* root) {
    LATE_CALL("winmm.dll", PlaySoundA, MAKEINTRESOURCEA(IDR_ALERT_WAVE), AfxGetInstanceHandle(),
              SND_RESOURCE | SND_ASYNC);
    char text[512];
    std::snprintf(text, sizeof(text), LoadResString(IDS_ROOT_VIRUS_WARNING).c_str(), root);
    AfxMessageBox(text, MB_OK);
}

}  // namespace

BOOL CPlugkitPage::OnInitDialog() {
    CPage::OnInitDialog();
    SetUpButton(m_acquireButton, this, IDC_KIT_ACQUIRE_IMMUNITY, IDB_CMD_ACQUIRE_IMMUNITY,
                IDS_TIP_ACQUIRE_IMMUNITY);
    SetUpButton(m_cancelButton, this, IDC_KIT_CANCEL_IMMUNITY, IDB_CMD_CANCEL_IMMUNITY,
                IDS_TIP_CANCEL_IMMUNITY);
    SetUpButton(m_removeButton, this, IDC_KIT_SAFELY_REMOVE, IDB_CMD_SAFELY_REMOVE,
                IDS_TIP_SAFELY_REMOVE);
    SetDlgItemText(IDC_KIT_IMMUNITY_TEXT, LoadResString(IDS_IMMUNITY_EXPLAINED).c_str());
    SetDlgItemText(IDC_KIT_REMOVE_TEXT, LoadResString(IDS_REMOVAL_EXPLAINED).c_str());
    return TRUE;
}

bool CPlugkitPage::OnCommand(UINT id, UINT code, HWND control) {
    if (code != BN_CLICKED) return CPage::OnCommand(id, code, control);
    switch (id) {
        case IDC_KIT_ACQUIRE_IMMUNITY:
            OnAcquireImmunity();
            return true;
        case IDC_KIT_CANCEL_IMMUNITY:
            OnCancelImmunity();
            return true;
        case IDC_KIT_SAFELY_REMOVE:
            OnSafelyRemove();
            return true;
        default:
            return CPage::OnCommand(id, code, control);
    }
}

void CPlugkitPage::AcquireImmunity() {
    ImmunizeAllDrives(WarnAboutRootFile);
    AfxMessageBox(IDS_IMMUNE, MB_OK);
}

void CPlugkitPage::CancelImmunity() {
    RemoveAllDriveImmunity(WarnAboutRootFile);
    AfxMessageBox(IDS_NOT_IMMUNE, MB_OK);
}

void CPlugkitPage::OnSafelyRemove() {
    if (AfxMessageBox(IDS_ASK_PROGRAMS_CLOSED, MB_OKCANCEL) == IDCANCEL) return;
    char letters[kMaxDriveLetters] = {};
    int count = FindUsbDrives(letters);
    EndProcesses(FindProcessesToEnd(letters, count));
    if (GetOsFamily() != 1) return;
    EjectDrives(letters, count, [] { return AfxMessageBox(IDS_ASK_LOG_OFF, MB_OKCANCEL) == IDOK; });
}
