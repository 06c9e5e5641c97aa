#include "update/UpdateCheck.h"

#include "framework/FileSystem.h"
#include "framework/Strings.h"
#include "framework/Thread.h"
#include "framework/WinApp.h"
#include "res/resource.h"
#include "update/Download.h"
#include "update/UpdateOffer.h"
#include "update/UpdateSource.h"

UINT UpdateCheckThread(LPVOID raw) {
    std::unique_ptr<UpdateCheckJob> job(static_cast<UpdateCheckJob*>(raw));
    ::Sleep(job->delayMs);
    std::string description = job->folder + kUpdateDescriptionFile;
    if (!DownloadToFile(job->url, description, job->agent.c_str())) return 0;
    auto offer = std::make_unique<UpdateOffer>(ReadUpdateOffer(description, job->ownVersion));
    if (!OffersOtherVersion(*offer, job->ownVersion)) return 0;
    // The window belongs to the user-interface thread: it fills and shows itself.
    if (job->window->Post(WM_APP_UPDATE_OFFER, 0, reinterpret_cast<LPARAM>(offer.get())))
        offer.release();
    return 0;
}

bool StartUpdateCheck(std::shared_ptr<WorkerLink> updateWindow) {
    auto job = std::make_unique<UpdateCheckJob>();
    job->window = std::move(updateWindow);
    job->url = UpdateDescriptionUrl();
    job->folder = ModuleDirectoryUtf8();
    job->ownVersion = LoadResString(IDS_VERSION);
    job->agent = AfxGetApp() ? AfxGetApp()->m_pszExeName : "Koravant";
    job->delayMs = UpdateCheckDelayMs();
    if (job->folder.empty() || !job->window) return false;
    if (!AfxBeginThread(UpdateCheckThread, job.get())) return false;
    job.release();
    return true;
}
