#include "app/vemp_107.h"
#include "common/integer_conversion.h"
#include "runs/download_address.h"
#include "output/page_file.h"
#include "platform/clipboard.h"
#include "platform/file_choosers.h"
#include "runs/kget.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "series/run_list.h"
#include "series/series_run.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QPointer>
#include <QUrl>

// The run handed over in one piece: the same URLs Images covers, without
// stepping the window. The URL box and Items stay as they are.

QStringList TVempForm::runForHandOver()
{
    if (!takeSelectedCounter()) {
        showWarning(tr("The host and the port are not a counter."));
        return {};
    }
    const qint32 count = strToInt(EditNumItems->text());
    const QString url = Edit1->text();
    const QStringList run = seriesRun(url, isDigitsMode() ? SeriesMode::Digits : SeriesMode::Alpha, digitsValue(),
                                      count, counterChoice());
    if (run.isEmpty())
        showWarning(count < 1 ? tr("Items is 0: there is no run to hand over.")
                              : tr("There is no run from %1: its counter is not a number.").arg(url));
    return run;
}

QList<QUrl> TVempForm::downloadUrls(const QStringList &run)
{
    const RunAddresses addresses = runAddresses(run);
    if (addresses.problem == WebAddress::Problem::Scheme)
        showWarning(tr("Only http and https addresses can be downloaded:\n%1").arg(addresses.shown));
    if (addresses.problem == WebAddress::Problem::NoHost)
        showWarning(tr("This address names no server to download from:\n%1").arg(addresses.shown));
    if (addresses.problem == WebAddress::Problem::BadHost)
        showWarning(tr("No server can have the host name of this address (too long, or characters a host name "
                       "cannot hold):\n%1")
                        .arg(addresses.shown));
    return addresses.urls;
}

QString TVempForm::runFolder() const
{
    return QFileInfo(downloadFolder).isDir() ? downloadFolder : m_platform.files.downloadsDirectory();
}

void TVempForm::mnuCopyRunClick(QObject *)
{
    const QStringList run = runForHandOver();
    if (run.isEmpty())
        return;
    if (!m_platform.clipboard.setText(runListText(run))) {
        showWarning(tr("The clipboard did not take the run of %1 URLs.").arg(run.size()));
        return;
    }
    ShowStatus(run.size() == 1 ? tr("Copied 1 URL") : tr("Copied %1 URLs").arg(run.size()));
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
    ShowStatus(tr("Saved %1 URLs to %2").arg(run.size()).arg(QFileInfo(path).fileName()));
}

void TVempForm::lookForKGet()
{
    QPointer<TVempForm> self(this);
    m_platform.kget.checkPresent([self](bool present) {
        if (self)
            self->mnuSendRunToKGet->setVisible(present);
    });
}

void TVempForm::mnuSendRunToKGetClick(QObject *)
{
    const QStringList run = runForHandOver();
    if (run.isEmpty())
        return;
    QPointer<TVempForm> self(this);
    const qsizetype count = run.size();
    ShowStatus(tr("Sending %1 URLs to KGet").arg(count));
    m_platform.kget.addTransfers(run, runFolder(), [self, count](const KGet::Answer &answer) {
        if (!self)
            return;
        self->guarded([&] {
            if (!answer.accepted) {
                self->ShowReady();
                self->m_platform.messageBoxes.show(
                    tr("Error"), tr("KGet did not take the run: %1").arg(answer.error), MessageBoxes::Icon::Error);
                return;
            }
            self->ShowStatus(tr("KGet took %1 of %2 URLs").arg(answer.transfers).arg(count));
        });
    });
}
