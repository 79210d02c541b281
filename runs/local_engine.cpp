#include "runs/local_engine.h"

#include "runs/cookie_file.h"
#include "runs/engine_registry.h"

#include <QCoreApplication>

LocalEngine::LocalEngine(const DownloadOptions &options, const QString &folder, const QList<QNetworkCookie> &cookies,
                         QObject *parent)
    : DownloadEngine(parent), m_downloader(options), m_folder(folder)
{
    m_downloader.setCookies(cookies);
    connect(&m_downloader, &Downloader::progress, this, &DownloadEngine::progress);
    connect(&m_downloader, &Downloader::serverAsksToWait, this, &DownloadEngine::serverAsksToWait);
    connect(&m_downloader, &Downloader::finished, this, &DownloadEngine::finished);
}

void LocalEngine::start(const QList<QUrl> &urls)
{
    m_downloader.start(urls, m_folder);
    emit accepted(int(urls.size()));
    emit progress(0, int(urls.size()));
}

RegisteredEngine localEngine(const DownloadOptions &options)
{
    const EngineDescription description{
        .name = QStringLiteral("Serimo"),
        .menuName = QStringLiteral("mnuDownload"),
        .menuCaption = QCoreApplication::translate("Runs", "Down&load run..."),
        .stopCaption = QCoreApplication::translate("Runs", "Stop down&load"),
        .place = EngineDescription::Place::ThisMachine,
        .needs = EngineDescription::Needs::Folder,
        .folderKey = kRunFolderKey,
    };
    return {description,
            [options](const EngineTarget &target) {
                DownloadOptions run = options;
                run.site = target.site;
                if (target.toFoundEnd)
                    run.missingRunEnd = 0;
                return std::make_unique<LocalEngine>(run, target.folder, runCookies(target.site));
            },
            {},
            {}};
}
