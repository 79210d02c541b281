#include "runs/download_controller.h"

#include "runs/download_report.h"

DownloadController::~DownloadController()
{
    if (m_engine) {
        m_engine->disconnect(this);
        m_engine->release();
    }
}

void DownloadController::start(std::unique_ptr<DownloadEngine> engine, const QStringList &run,
                               const QList<QUrl> &urls, const QString &folder)
{
    release();
    m_engine = std::move(engine);
    m_run = run;
    m_folder = folder;
    m_handedOver = false;
    DownloadEngine *started = m_engine.get();
    connect(started, &DownloadEngine::accepted, this, [this](int count) {
        m_handedOver = true;
        emit accepted(count);
    });
    connect(started, &DownloadEngine::refused, this,
            [this](const QString &message) { emit refused(message, m_handedOver); });
    connect(started, &DownloadEngine::progress, this, &DownloadController::progress);
    connect(started, &DownloadEngine::finished, this, [this, started](const DownloadSummary &summary) {
        emit finished(runResultOf(summary, started->options(), m_run, m_folder));
    });
    started->start(urls);
}

void DownloadController::stop()
{
    if (m_engine)
        m_engine->stop();
}

void DownloadController::release()
{
    if (!m_engine)
        return;
    m_engine->disconnect(this);
    m_engine->release();
    // An engine may be reporting from its own signal: it goes later, or
    // with the controller.
    DownloadEngine *released = m_engine.release();
    released->setParent(this);
    released->deleteLater();
}

bool DownloadController::isRunning() const
{
    return m_engine && m_engine->isRunning();
}
