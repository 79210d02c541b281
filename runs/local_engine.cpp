#include "runs/local_engine.h"

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
}
