#include "runs/download_controller.h"

#include "runs/download_names.h"
#include "runs/engine_registry.h"

DownloadController::DownloadController(QObject *parent) : QObject(parent)
{
    m_progressDue.setSingleShot(true);
    connect(&m_progressDue, &QTimer::timeout, this, &DownloadController::reportProgress);
}

DownloadController::~DownloadController()
{
    if (m_engine) {
        m_engine->disconnect(this);
        m_engine->release();
    }
}

void DownloadController::start(const RegisteredEngine &engine, const EngineTarget &target, const RunPlan &run)
{
    release();
    m_engine = engine.make(target);
    m_handedOver = false;
    m_progressReportedAt.invalidate();
    DownloadEngine *started = m_engine.get();
    m_context = {engine.description, target, started->options(), downloadFileNames(run.urls), run.counters,
                 folderIsHere(engine, target)};
    connect(started, &DownloadEngine::accepted, this, [this](int count) {
        m_handedOver = true;
        emit accepted(count);
    });
    connect(started, &DownloadEngine::refused, this, [this](const QString &message) {
        m_progressDue.stop();
        emit refused(message, m_handedOver);
    });
    connect(started, &DownloadEngine::progress, this, &DownloadController::engineProgress);
    connect(started, &DownloadEngine::serverAsksToWait, this, &DownloadController::serverAsksToWait);
    connect(started, &DownloadEngine::finished, this, [this](RunResult result) {
        // The result says it all: a progress still due would only hide it.
        m_progressDue.stop();
        // A run to the end the search found ends where the series ends.
        result.endOfSeries = result.endOfSeries || (m_context.target.toFoundEnd && !endedEarly(result));
        emit finished(result);
    });
    started->start(run.urls);
}

void DownloadController::engineProgress(int settled, int total)
{
    m_settled = settled;
    m_total = total;
    if (!m_progressReportedAt.isValid() || m_progressReportedAt.elapsed() >= kProgressIntervalMs)
        return reportProgress();
    if (!m_progressDue.isActive())
        m_progressDue.start(int(kProgressIntervalMs - m_progressReportedAt.elapsed()));
}

void DownloadController::reportProgress()
{
    m_progressDue.stop();
    m_progressReportedAt.start();
    emit progress(m_settled, m_total);
}

void DownloadController::stop()
{
    if (m_engine)
        m_engine->stop();
}

void DownloadController::release()
{
    m_progressDue.stop();
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

qint64 DownloadController::bytesReceived() const
{
    return m_engine ? m_engine->bytesReceived() : 0;
}
