#include "app/vemp_107.h"
#include "dialogs/download_options_dialog.h"
#include "platform/file_choosers.h"
#include "platform/program_files.h"
#include "runs/cookie_file.h"
#include "runs/download_address.h"
#include "runs/runs.h"

#include <QDir>
#include <QUrl>

// Download options: the Referer, user agent, cookies file and wait that
// runs send the site of the URL box's address, kept in the settings.
void TVempForm::mnuDownloadOptionsClick(QObject *)
{
    const auto chooseFile = [this](const QString &start) {
        return m_platform.choosers.chooseOpenFile(this, tr("Cookies file"),
                                                  start.isEmpty() ? m_platform.files.homeDirectory() : start,
                                                  tr("Cookies (*.txt *.sqlite);;All files (*)"));
    };
    const QUrl address = webAddress(Edit1->text()).url;
    if (address.host().isEmpty()) {
        showWarning(tr("Download options are kept for each site: type the address of a series first."));
        return;
    }
    SiteBook &sites = m_runs->sites();
    SiteBook::Site site = sites.siteOf(address);
    const std::optional<SiteChoice> chosen = askDownloadOptions(sites.optionsFor(address), site, chooseFile, this);
    if (!chosen)
        return;
    site.wholeDomain = chosen->wholeDomain;
    sites.set(site, chosen->options);
    // Said now rather than at the next run; the file may still be made right.
    if (const QString file = chosen->options.cookiesFile; !file.isEmpty())
        if (const QString error = readCookieFile(file).error; !error.isEmpty())
            showWarning(error);
}
