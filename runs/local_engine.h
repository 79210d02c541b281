#pragma once

#include "runs/download_engine.h"
#include "runs/downloader.h"

// Serimo's own engine (downloader.*) as an engine a run can be handed to:
// the files go into a folder on this machine.
class LocalEngine : public DownloadEngine
{
    Q_OBJECT
public:
    LocalEngine(const DownloadOptions &options, const QString &folder, QObject *parent = nullptr);

    void start(const QList<QUrl> &urls) override;
    void stop() override { m_downloader.stop(); }
    // The files of a run Serimo downloads itself go with it.
    void release() override { m_downloader.stop(); }
    bool isRunning() const override { return m_downloader.isRunning(); }
    const DownloadOptions &options() const override { return m_downloader.options(); }
    // The bytes received in this run so far, for a progress line.
    qint64 bytesReceived() const { return m_downloader.bytesReceived(); }

private:
    Downloader m_downloader;
    QString m_folder;
};
