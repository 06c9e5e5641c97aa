#include "app/MainDlg.h"

#include <dbt.h>
#include <shellapi.h>

#include <string>

#include "app/AboutDlg.h"
#include "app/MainApp.h"
#include "app/Messages.h"
#include "app/Tray.h"
#include "controls/SkinButtonLayout.h"
#include "framework/FileSystem.h"
#include "framework/Strings.h"
#include "framework/Thread.h"
#include "res/resource.h"
#include "update/Updater.h"
#include "usb/DriveList.h"

HWND g_hMainWnd = nullptr;
CMainDlg* g_pMainDlg = nullptr;

namespace {
constexpr UINT kAboutCommand = 0x0010;
constexpr int kPageX = 0, kPageY = 90, kPageWidth = 750, kPageHeight = 450;
constexpr COLORREF kTransparent = RGB(255, 255, 255);
constexpr UINT_PTR kLateWorkTimer = 1;
constexpr UINT kLateWorkDelayMs = 300;
}  // namespace

CMainDlg::CMainDlg(CWnd* parent)
    : CDialog(IDD_MAIN, parent),
      m_hIcon(::LoadIconA(AfxGetInstanceHandle(), MAKEINTRESOURCEA(IDI_APP))) {
    m_showWhenModal = false;
}

CMainDlg::~CMainDlg() = default;

CPage& CMainDlg::Page(int index) {
    switch (index) {
        case kPageInformation:
            return m_infoPage;
        case kPagePlugwatch:
            return m_plugwatchPage;
        case kPagePlugsweep:
            return m_plugsweepPage;
        case kPagePlugkit:
            return m_plugkitPage;
        case kPageTaskwatch:
            return m_taskwatchPage;
        case kPageAutostart:
            return m_autostartPage;
        case kPageRepairSystem:
            return m_repairPage;
        default:
            return m_quarantinePage;
    }
}

BOOL CMainDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    // The single-instance mark that a second start looks for.
    ::SetPropA(m_hWnd, AfxGetApp()->m_pszExeName, reinterpret_cast<HANDLE>(1));
    g_hMainWnd = m_hWnd;
    g_pMainDlg = this;
    // The keeper adds the tray icon first: the taskbar answers while this thread goes on.
    if (HANDLE keeper = ::CreateThread(nullptr, 0, TrayKeeperThread, nullptr, 0, nullptr))
        ::CloseHandle(keeper);
    CenterWindow(755, 550);
    SetUpPageButtons();
    // Pages are made when first shown, since each costs Wine hundreds of round trips to its
    // server; the process page, whose monitor runs from start-up, soon after start-up.
    EnsurePage(kPageInformation);
    ShowPage(kPageInformation);
    AfxBeginThread(UninstallWatchThread, this);
    RecordFixedDrives();
    CheckForUsbDrives();
    // Start hidden: only the notification area shows the program.
    PostMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    // The process page, the icons and the About entry wait until start-up is over and the
    // program answers; the page's monitor makes its first pass seconds later anyway.
    ::SetTimer(m_hWnd, kLateWorkTimer, kLateWorkDelayMs, nullptr);
    // No focus yet: in a hidden window it would activate it, which costs Wine its input-method
    // set-up. The dialog gives its first control the focus when it first comes forward.
    return FALSE;
}

void CMainDlg::SetUpPageButtons() {
    std::string tips[kPageCount];
    for (int index = 1; index <= kPageCount; ++index)
        tips[index - 1] = LoadResString(PageByIndex(index).tipString);
    for (int index = 1; index <= kPageCount; ++index) {
        const PageInfo& info = PageByIndex(index);
        CSkinButton& button = m_pageButtons[index - 1];
        button.SubclassDlgItem(info.buttonId, this);
        button.LoadBitmapImages(info.hoverBitmap, kTransparent, info.plainBitmap, kTransparent);
        button.SetImageAlignment(kImageAboveCaption, true);
        button.SetTipText(tips[index - 1].c_str(), TRUE);
        button.SetHoverBorder(FALSE, TRUE);
        button.LoadHoverCursor(IDC_HAND_CURSOR, TRUE);
    }
}

bool CMainDlg::EnsurePage(int index) {
    CPage& page = Page(index);
    if (page.m_hWnd) return true;
    UINT templateId = PageByIndex(index).templateId;
    page.SetHost(this);
    if (!page.Create(templateId, this)) return false;
    // The template id doubles as the page's control id, so GetDlgItem finds a page.
    ::SetWindowLongPtrA(page.m_hWnd, GWLP_ID, static_cast<LONG_PTR>(templateId));
    return true;
}

void CMainDlg::ShowPage(int index) {
    // The page on show stays as it is: hiding and showing it again repaints all of it.
    if (index >= 1 && index <= kPageCount && m_pageShown[index - 1]) return;
    for (int shown = 1; shown <= kPageCount; ++shown) {
        if (!m_pageShown[shown - 1]) continue;
        Page(shown).ShowWindow(SW_HIDE);
        m_pageShown[shown - 1] = false;
        const PageInfo& info = PageByIndex(shown);
        m_pageButtons[shown - 1].LoadBitmapImages(info.hoverBitmap, kTransparent, info.plainBitmap,
                                                  kTransparent);
    }
    if (index < 1 || index > kPageCount || !EnsurePage(index)) return;
    CPage& page = Page(index);
    page.ShowWindow(SW_SHOW);
    page.SetWindowPos(HWND_TOP, kPageX, kPageY, kPageWidth, kPageHeight, SWP_SHOWWINDOW);
    m_pageShown[index - 1] = true;
    // The selected page's button keeps its highlighted image, hovered or not.
    m_pageButtons[index - 1].LoadBitmapImages(PageByIndex(index).hoverBitmap, kTransparent, 0,
                                              kTransparent);
}

int CMainDlg::CurrentPage() const {
    for (int index = 1; index <= kPageCount; ++index)
        if (m_pageShown[index - 1]) return index;
    return 0;
}

bool CMainDlg::OnCommand(UINT id, UINT code, HWND) {
    if (code != BN_CLICKED) return false;
    if (int index = PageIndexOfButton(id)) {
        ShowPage(index);
        return true;
    }
    switch (id) {
        case ID_TRAY_QUIT:
            CDialog::OnCancel();
            return true;
        case ID_TRAY_SHOW_MAIN:
            BringForward();
            return true;
        case ID_TRAY_SAFELY_REMOVE:
            OnTraySafelyRemove();
            return true;
        case ID_TRAY_ACQUIRE_IMMUNITY:
            OnTrayAcquireImmunity();
            return true;
        case ID_TRAY_UPDATE_NOW:
            OnUpdateNow();
            return true;
        default:
            return false;
    }
}

void CMainDlg::OnOK() {
    // Enter must never end the resident protection; the ways out are Quit and Esc.
}

void CMainDlg::OnCancel() {
    if (AfxMessageBox(IDS_ASK_QUIT, MB_OKCANCEL) == IDOK) CDialog::OnCancel();
}

bool CMainDlg::DestroyWindow() {
    if (m_hWnd) ::RemovePropA(m_hWnd, AfxGetApp()->m_pszExeName);
    DeleteTrayIcon();
    return CDialog::DestroyWindow();
}

void CMainDlg::OnUpdateNow() {
    if (LaunchUpdater())
        CDialog::OnCancel();
    else
        AfxMessageBox(IDS_UPDATER_NOT_FOUND, MB_OK);
}

void CMainDlg::WinHelp(DWORD_PTR, UINT) {
    std::string folder = ModuleDirectoryUtf8();
    std::string helpFile = folder + "Koravant.chm";
    bool opened = !folder.empty() && FitsPathLimit(helpFile) && OpenDocumentUtf8(m_hWnd, helpFile);
    if (!opened) AfxMessageBox(IDS_DOC_NOT_FOUND, MB_OK);
}

void CMainDlg::BringForward() {
    FinishWindow();
    BringToFront(m_hWnd);
}

void CMainDlg::FinishWindow() {
    if (m_windowFinished) return;
    m_windowFinished = true;
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);
    // The About box is reached through the system menu, under the command it answers.
    if (HMENU menu = ::GetSystemMenu(m_hWnd, FALSE)) {
        std::string about = LoadResString(IDS_ABOUT_MENU);
        ::AppendMenuA(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuA(menu, MF_STRING, kAboutCommand, about.c_str());
    }
}

void CMainDlg::OnTrayNotify(LPARAM mouseMessage) {
    switch (mouseMessage) {
        case WM_LBUTTONDOWN:
            BringForward();
            break;
        case WM_RBUTTONUP:
            ShowTrayMenu(m_hWnd);
            break;
        default:
            break;
    }
}

void CMainDlg::PaintMinimised() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(m_hWnd, &paint);
    SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    RECT client;
    GetClientRect(&client);
    int x = (client.right - client.left - ::GetSystemMetrics(SM_CXICON) + 1) / 2;
    int y = (client.bottom - client.top - ::GetSystemMetrics(SM_CYICON) + 1) / 2;
    ::DrawIcon(dc, x, y, m_hIcon);
    ::EndPaint(m_hWnd, &paint);
}

bool CMainDlg::OnSysCommand(WPARAM command) {
    if (command == SC_CLOSE) {
        ShowWindow(SW_HIDE);
        return true;
    }
    if ((command & 0xFFF0) != kAboutCommand) return false;
    CAboutDlg about(this);
    about.DoModal();
    return true;
}

LRESULT CMainDlg::WindowProc(UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
        case WM_SYSCOMMAND:
            return OnSysCommand(wp) ? 0 : Default();
        case WM_PAINT:
            if (::IsIconic(m_hWnd)) {
                PaintMinimised();
                return 0;
            }
            return Default();
        case WM_DEVICECHANGE:
            if (wp == DBT_DEVICEARRIVAL || wp == DBT_DEVICEREMOVECOMPLETE) CheckForUsbDrives();
            return Default();
        case WM_QUERYDRAGICON:
            return reinterpret_cast<LRESULT>(m_hIcon);
        case WM_TRAY_NOTIFY:
            // In a dialog this number is also DM_SETDEFID: passed on, every tray event would
            // make the icon's id the default button. The shell's events carry the icon's id.
            if (wp != kTrayIconId) return CDialog::WindowProc(msg, wp, lp);
            OnTrayNotify(lp);
            return 0;
        case WM_APP_QUIT:
            CDialog::OnCancel();
            return 0;
        case WM_APP_SHOW_PAGE:
            BringForward();
            ShowPage(static_cast<int>(wp));
            return 0;
        case WM_TIMER:
            if (wp != kLateWorkTimer) return CDialog::WindowProc(msg, wp, lp);
            ::KillTimer(m_hWnd, kLateWorkTimer);
            FinishWindow();
            EnsurePage(kPageTaskwatch);
            return 0;
        default:
            return CDialog::WindowProc(msg, wp, lp);
    }
}

void CMainDlg::RequestQuit() {
    if (g_hMainWnd) ::PostMessageA(g_hMainWnd, WM_APP_QUIT, 0, 0);
}

void CMainDlg::RequestShowPage(int index) {
    if (g_hMainWnd) ::PostMessageA(g_hMainWnd, WM_APP_SHOW_PAGE, static_cast<WPARAM>(index), 0);
}

UINT UninstallWatchThread(LPVOID mainDlg) {
    const std::string title = LoadResString(IDS_UNINSTALL_TITLE);
    const std::string notice = LoadResString(IDS_WILL_QUIT);
    for (;;) {
        bool found = false;
        for (HWND window = ::FindWindowExA(nullptr, nullptr, nullptr, title.c_str()); window;
             window = ::FindWindowExA(nullptr, window, nullptr, title.c_str())) {
            char text[256] = {};
            ::GetWindowTextA(window, text, sizeof(text));
            // FindWindow ignores letter case; the uninstaller's title must match exactly.
            if (title == text) found = true;
        }
        if (found) break;
        ::Sleep(200);
    }
    AfxMessageBox(notice, MB_OK);
    static_cast<CMainDlg*>(mainDlg)->RequestQuit();
    return 0;
}
