#include "app/vemp_107.h"
#include "dialogs/address_dialog.h"
#include "platform/file_choosers.h"
#include "platform/message_boxes.h"
#include "platform/program_files.h"
#include "runs/cookie_file.h"
#include "runs/runs.h"

#include <QAction>
#include <QPointer>
#include <QUrl>

// Where a run goes, asked as its engine's description says: a folder here
// from the folder chooser, the folder runs here go to, or a daemon's
// address, secret and folder from the address dialog. The secret comes
// from this session or, when the user asked to remember it, the keyring; a
// new one goes there once the engine accepted it.

void TVempForm::handRunTo(QObject *Sender)
{
    const auto *item = qobject_cast<const QAction *>(Sender);
    const RegisteredEngine *engine = item ? m_runs->engines().byMenuName(item->objectName()) : nullptr;
    if (!engine)
        return;
    // A run handed over whole ends with the engine's answer, due soon.
    if (m_runs->isRunning()) {
        showWarning(tr("%1 has not answered yet. Send the run again once it has.")
                        .arg(m_runs->controller().context().engine.name));
        return;
    }
    RunPlan plan;
    const QStringList run = runForHandOver(&plan.counters);
    plan.urls = downloadUrls(run);
    if (plan.urls.isEmpty())
        return;
    plan.site = m_runs->sites().optionsFor(plan.urls.first());
    if (engine->description.addressesOnly) {
        if (plan.site.isSet() && !m_toldAddressesOnly) {
            m_toldAddressesOnly = true;
            m_platform.messageBoxes.show(QString(engine->description.menuCaption).remove(u'&'),
                                         tr("%1 takes the addresses only: the Referer, user agent, cookies and wait "
                                            "of Download options do not go with them.")
                                             .arg(engine->description.name),
                                         MessageBoxes::Icon::None);
        }
    } else if (!readCookiesOfRun(plan.site)) {
        return;
    }
    const QString downloads = m_platform.files.downloadsDirectory();
    EngineTarget given = m_runs->lastTarget(*engine, downloads);
    given.toFoundEnd = m_foundEnd == std::pair(Edit1->text(), qint64(plan.urls.size()));
    switch (engine->description.needs) {
    case EngineDescription::Needs::RunFolder:
        startRun(*engine, given, plan);
        return;
    case EngineDescription::Needs::Folder: {
        const QString folder = m_platform.choosers.chooseFolder(this, tr("Download the run into"), given.folder);
        if (folder.isEmpty())
            return;
        if (!folderAcceptsFiles(folder)) {
            showWarning(tr("Serimo cannot write into the folder %1.\nChoose another folder.").arg(folder));
            return;
        }
        startRun(*engine, {.folder = folder, .toFoundEnd = given.toFoundEnd}, plan);
        return;
    }
    case EngineDescription::Needs::AddressSecretFolder: {
        // A secret given earlier in this session is the one to offer; else
        // the keyring's, which answers later.
        QPointer<TVempForm> self(this);
        m_runs->readSecret(given, [self, engine, plan, given](bool answered, const QString &secret) {
            if (!self)
                return;
            self->guarded([&] {
                if (!answered)
                    self->noteSecretsKeptForSession(engine->description.name);
                EngineTarget offered = given;
                offered.secret = secret;
                self->askDaemonTarget(*engine, plan, offered);
            });
        });
        return;
    }
    }
}

bool TVempForm::readCookiesOfRun(SiteOptions &site)
{
    QString leftOut;
    const QString error = readRunCookies(site, &leftOut);
    if (!error.isEmpty() || !leftOut.isEmpty())
        showWarning(error.isEmpty() ? leftOut : error);
    return error.isEmpty();
}

void TVempForm::noteSecretsKeptForSession(const QString &engineName)
{
    if (m_runs->giveUpKeyring())
        ShowStatus(tr("%1 secret kept until closing").arg(engineName),
                   tr("No keyring answered: Serimo keeps the %1 secret until it closes.").arg(engineName));
}

void TVempForm::askDaemonTarget(const RegisteredEngine &engine, const RunPlan &plan, const EngineTarget &given)
{
    const EngineDescription &description = engine.description;
    const std::optional<AddressTarget> asked =
        askAddressTarget(QString(description.menuCaption).remove(u'&').remove(QLatin1String("...")),
                         tr("%1's own folder").arg(description.name),
                         {given.address, given.secret, given.folder, given.remember, given.secretRefused}, this,
                         [this, &engine](const QString &address) { return m_runs->folderTypedFor(engine, address); });
    if (!asked)
        return;
    EngineTarget target{asked->folder, asked->address, asked->secret, asked->remember};
    target.toFoundEnd = given.toFoundEnd;
    QPointer<TVempForm> self(this);
    m_runs->rememberOnAcceptance(given, target, [self, name = description.name] {
        if (self)
            self->guarded([&] { self->noteSecretsKeptForSession(name); });
    });
    startRun(engine, target, plan);
}
