#include "runs/local_engine.h"

LocalEngine::LocalEngine(const DownloadOptions &options, const QString &folder, const QList<QNetworkCookie> &cookies,
                         QObject *parent)
    : DownloadEngine(parent), m_downloader(options), m_folder(folder)
{
    m_downloader.setCookies(cookies);
    connect(&m_downloader, &Downloader::progress, this, &DownloadEngine::progress);
    connect(&m_downloader, &Downloader::finished, this, &DownloadEngine::finished);
}

void LocalEngine::start(const QList<QUrl> &urls)
{
    m_downloader.start(urls, m_folder);
    emit accepted(int(urls.size()));
}
