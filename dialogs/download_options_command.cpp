#include "app/vemp_107.h"
#include "dialogs/download_options_dialog.h"
#include "platform/file_choosers.h"
#include "platform/program_files.h"
#include "runs/cookie_file.h"
#include "runs/runs.h"

#include <QDir>

// Download options: the Referer, user agent, cookies file and wait that
// runs send the site, kept in the settings.
void TVempForm::mnuDownloadOptionsClick(QObject *)
{
    const auto chooseFile = [this](const QString &start) {
        return m_platform.choosers.chooseOpenFile(this, tr("Cookies file"),
                                                  start.isEmpty() ? m_platform.files.homeDirectory() : start,
                                                  tr("Cookies (*.txt *.sqlite);;All files (*)"));
    };
    SiteOptions &site = m_runs->siteOptions();
    const std::optional<SiteOptions> chosen = askDownloadOptions(site, chooseFile, this);
    if (!chosen)
        return;
    site = *chosen;
    // Said now rather than at the next run; the file may still be made right.
    if (!site.cookiesFile.isEmpty())
        if (const QString error = readCookieFile(site.cookiesFile).error; !error.isEmpty())
            showWarning(error);
}
