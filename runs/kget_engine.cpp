#include "runs/kget_engine.h"

#include "runs/engine_registry.h"
#include "runs/kget.h"

#include <QCoreApplication>
#include <QPointer>

KGetEngine::KGetEngine(KGet &kget, const QString &folder, QObject *parent)
    : DownloadEngine(parent), m_kget(kget), m_folder(folder)
{
}

void KGetEngine::start(const QList<QUrl> &urls)
{
    QStringList sources;
    for (const QUrl &url : urls)
        sources.append(url.toString());
    m_running = true;
    m_total = int(urls.size());
    QPointer<KGetEngine> self(this);
    m_kget.addTransfers(sources, m_folder, [self](const KGet::Answer &answer) {
        if (!self || !self->m_running)
            return;
        self->m_running = false;
        if (!answer.accepted) {
            emit self->refused(answer.error);
            return;
        }
        emit self->accepted(answer.transfers);
        RunResult result;
        result.outcomes = QList<FileOutcome>(self->m_total, FileOutcome::NotTried);
        for (int i = 0; i < std::min(answer.transfers, self->m_total); ++i)
            result.outcomes[i] = FileOutcome::HandedOver;
        emit self->finished(result);
    });
}

RegisteredEngine kgetEngine(KGet &kget)
{
    const EngineDescription description{
        .name = QStringLiteral("KGet"),
        .menuName = QStringLiteral("mnuSendRunToKGet"),
        .menuCaption = QCoreApplication::translate("Runs", "Send run to &KGet"),
        .place = EngineDescription::Place::ThisMachine,
        .needs = EngineDescription::Needs::RunFolder,
        .reportsEachFile = false,
        .mayBeAbsent = true,
        .addressesOnly = true,
    };
    return {description,
            [&kget](const EngineTarget &target) { return std::make_unique<KGetEngine>(kget, target.folder); },
            [&kget](std::function<void(bool)> done) { kget.checkPresent(std::move(done)); },
            {}};
}
