#include "app/vemp_107.h"
#include "common/integer_conversion.h"
#include "output/page_file.h"
#include "platform/clipboard.h"
#include "platform/file_choosers.h"
#include "platform/program_files.h"
#include "runs/download_address.h"
#include "runs/runs.h"
#include "series/run_list.h"
#include "series/series_run.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

// The run handed over in one piece: the same URLs Images covers, without
// stepping the window. The URL box and Items stay as they are.

QStringList TVempForm::runForHandOver(QStringList *counters)
{
    if (!takeSelectedCounter()) {
        showWarning(tr("The host and the port are not a counter."));
        return {};
    }
    const qint32 count = strToInt(EditNumItems->text());
    const QString url = Edit1->text();
    if (refusePage(url))
        return {};
    const QStringList run = seriesRun(url, isDigitsMode() ? SeriesMode::Digits : SeriesMode::Alpha, digitsValue(),
                                      count, counterChoice(), counters);
    if (run.isEmpty())
        showWarning(count < 1 ? tr("Items is 0: there is no run to hand over.")
                              : tr("There is no run from %1: its counter is not a number.").arg(url));
    return run;
}

bool TVempForm::refusePage(const QString &url)
{
    if (counterChoice() || !isPageAddress(url))
        return false;
    showWarning(tr("%1 is a page, not a series: it has no number to step. Open the page in the browser and copy a "
                   "picture's address.").arg(url));
    return true;
}

QList<QUrl> TVempForm::downloadUrls(const QStringList &run)
{
    const RunAddresses addresses = runAddresses(run);
    if (const QString problem = addressProblemMessage(addresses, AddressUse::Download, MessageStyle::Window);
        !problem.isEmpty())
        showWarning(problem);
    return addresses.urls;
}

QString TVempForm::runFolder() const
{
    return m_runs->runFolder(m_platform.files.downloadsDirectory());
}

void TVempForm::mnuCopyRunClick(QObject *)
{
    const QStringList run = runForHandOver();
    if (run.isEmpty())
        return;
    if (!m_platform.clipboard.setText(runListText(run))) {
        showWarning(tr("The clipboard did not take the run of %n URL(s).", nullptr, int(run.size())));
        return;
    }
    ShowStatus(tr("Copied %n URL(s)", nullptr, int(run.size())));
}

void TVempForm::mnuSaveRunListClick(QObject *)
{
    const QStringList run = runForHandOver();
    if (run.isEmpty())
        return;
    const QString suggested = QDir(runFolder()).filePath(suggestedRunListName(run.first(), int(run.size())));
    const QString path =
        m_platform.choosers.chooseSaveFile(this, tr("Save run list"), suggested, tr("Text files (*.txt)"));
    if (path.isEmpty())
        return;
    // Written whole, as the pages are: a failed write leaves no half list.
    writePageFile(path, runListText(run).toUtf8());
    ShowStatus(tr("Saved %n URL(s) to %1", nullptr, int(run.size())).arg(QFileInfo(path).fileName()),
               tr("Saved %n URL(s) to %1", nullptr, int(run.size())).arg(QDir::toNativeSeparators(path)));
}

void TVempForm::lookForEngines()
{
    QPointer<TVempForm> self(this);
    for (const RegisteredEngine &engine : m_runs->engines().engines()) {
        if (!engine.checkPresent)
            continue;
        const QString item = engine.description.menuName;
        engine.checkPresent([self, item](bool present) {
            if (QAction *action = self ? self->findChild<QAction *>(item) : nullptr)
                action->setVisible(present);
        });
    }
}
