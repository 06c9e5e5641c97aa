// The resident shield's trigger: every device arrival or removal, and start-up, looks for USB
// drives and has the shield page examine their roots.
#include <windows.h>
#include <mmsystem.h>

#include "app/MainDlg.h"
#include "framework/LateImport.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "usb/DriveList.h"

void CMainDlg::CheckForUsbDrives() {
    char letters[kMaxDriveLetters] = {};
    int count = FindUsbDrives(letters);
    if (count == 0) return;
    BringForward();
    ShowPage(kPagePlugwatch);
    m_plugwatchPage.ClearRows();
    // Asynchronous, so the examination runs while the sound plays.
    LATE_CALL("winmm.dll", PlaySoundA, MAKEINTRESOURCEA(IDR_ALERT_WAVE), AfxGetInstanceHandle(),
              SND_RESOURCE | SND_ASYNC);
    m_plugwatchPage.ExamineDrives(letters, count);
}
