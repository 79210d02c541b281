#include "runs/local_engine.h"

#include "runs/engine_registry.h"

#include <QCoreApplication>

LocalEngine::LocalEngine(const DownloadOptions &options, const QString &folder, QObject *parent)
    : DownloadEngine(parent), m_downloader(options), m_folder(folder)
{
    connect(&m_downloader, &Downloader::progress, this, &DownloadEngine::progress);
    connect(&m_downloader, &Downloader::finished, this, &DownloadEngine::finished);
}

void LocalEngine::start(const QList<QUrl> &urls)
{
    m_downloader.start(urls, m_folder);
    emit accepted(int(urls.size()));
    emit progress(0, int(urls.size()));
}

RegisteredEngine localEngine()
{
    EngineDescription description;
    description.name = QStringLiteral("Serimo");
    description.menuName = QStringLiteral("mnuDownload");
    description.menuCaption = QCoreApplication::translate("Runs", "Down&load run...");
    description.stopCaption = QCoreApplication::translate("Runs", "Stop down&load");
    description.place = EngineDescription::Place::ThisMachine;
    description.needs = EngineDescription::Needs::Folder;
    description.folderKey = kRunFolderKey;
    return {description,
            [](const EngineTarget &target) { return std::make_unique<LocalEngine>(DownloadOptions(), target.folder); },
            {},
            {}};
}
