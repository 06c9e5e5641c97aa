#pragma once
// The scan page: every folder of every USB drive, on a worker, with Stop.
#include <memory>

#include "framework/Controls.h"
#include "res/resource.h"
#include "usb/ScanJob.h"
#include "usb/ThreatListPage.h"

class CPlugsweepPage : public CThreatListPage {
  public:
    CPlugsweepPage();

    bool IsScanning() const { return m_scan && m_scan->m_bScanning; }

  protected:
    BOOL OnInitDialog() override;
    bool OnCommand(UINT id, UINT code, HWND control) override;
    LRESULT WindowProc(UINT msg, WPARAM wp, LPARAM lp) override;
    void EnableCommands(bool enable) override;

  private:
    void OnScan();
    void OnStop();
    void OnScanStarted();
    void ShowPendingRows();
    void ShowProgress();
    void OnScanDone(bool noDrive);
    void RedrawUnder(const CWnd& control) const;

    CAnimateCtrl m_animation;
    CSkinButton m_scanButton;
    CSkinButton m_stopButton;
    std::shared_ptr<ScanJob> m_scan;
    std::string m_suspiciousText;
};

// The live result line: the folder (shortened to fit) and the running counts.
std::string ScanProgressText(const std::string& folder, unsigned long files, int threats);
