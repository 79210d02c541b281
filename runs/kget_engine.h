#pragma once

#include "runs/download_engine.h"

class KGet;
struct RegisteredEngine;

// A run handed to KGet on the session bus in one call. KGet says how many
// transfers it made and nothing of each file: the run is over once it has
// answered, its files "handed over".
class KGetEngine : public DownloadEngine
{
    Q_OBJECT
public:
    KGetEngine(KGet &kget, const QString &folder, QObject *parent = nullptr);

    void start(const QList<QUrl> &urls) override;
    // The hand-over is one call: KGet's answer, due within its deadline,
    // ends the run.
    void stop() override {}
    void release() override { m_running = false; }
    bool isRunning() const override { return m_running; }
    const DownloadOptions &options() const override { return m_options; }

private:
    KGet &m_kget;
    QString m_folder;
    DownloadOptions m_options;
    int m_total = 0;
    bool m_running = false;
};

// KGet in the registry: Send run to KGet, shown while KGet is on the bus.
RegisteredEngine kgetEngine(KGet &kget);
