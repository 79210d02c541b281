#include "runs/aria2_rpc.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>

namespace {
// aria2's error codes (its manual's "EXIT STATUS").
constexpr int kResourceNotFound = 3;
constexpr int kFileAlreadyThere = 13;

QJsonObject call(const QString &method, const QString &secret, QJsonArray params)
{
    if (!secret.isEmpty())
        params.prepend(QStringLiteral("token:") + secret);
    return {{QStringLiteral("methodName"), method}, {QStringLiteral("params"), params}};
}

QByteArray multicall(const QJsonArray &calls)
{
    const QJsonObject request{{QStringLiteral("jsonrpc"), QStringLiteral("2.0")},
                              {QStringLiteral("id"), QStringLiteral("serimo")},
                              {QStringLiteral("method"), QStringLiteral("system.multicall")},
                              {QStringLiteral("params"), QJsonArray{calls}}};
    return QJsonDocument(request).toJson(QJsonDocument::Compact);
}

QByteArray eachGid(const QString &method, const QString &secret, const QStringList &gids, const QJsonArray &more)
{
    QJsonArray calls;
    for (const QString &gid : gids) {
        QJsonArray params{gid};
        for (const QJsonValue &value : more)
            params.append(value);
        calls.append(call(method, secret, params));
    }
    return multicall(calls);
}

QString faultText(const QJsonValue &fault)
{
    const QString message = fault[QStringLiteral("message")].toString();
    return message.isEmpty() ? QStringLiteral("error %1").arg(fault[QStringLiteral("code")].toInt()) : message;
}

// aria2 sends its numbers as decimal text.
qint64 number(const QJsonObject &status, const char *key)
{
    return status.value(QLatin1String(key)).toString().toLongLong();
}
} // namespace

QUrl aria2Endpoint(const QString &address)
{
    QUrl url(address.contains(QLatin1String("://")) ? address : QStringLiteral("http://") + address);
    if (url.path().isEmpty() || url.path() == QLatin1String("/"))
        url.setPath(QStringLiteral("/jsonrpc"));
    return url;
}

QByteArray aria2AddUrisRequest(const QString &secret, const QList<QUrl> &urls, const QStringList &names,
                               const QString &folder)
{
    QJsonArray calls;
    for (qsizetype i = 0; i < urls.size(); ++i) {
        QJsonObject options{{QStringLiteral("out"), names.value(i)},
                            {QStringLiteral("auto-file-renaming"), QStringLiteral("false")},
                            {QStringLiteral("allow-overwrite"), QStringLiteral("false")}};
        if (!folder.isEmpty())
            options.insert(QStringLiteral("dir"), folder);
        calls.append(call(QStringLiteral("aria2.addUri"), secret,
                          {QJsonArray{urls[i].toString(QUrl::FullyEncoded)}, options}));
    }
    return multicall(calls);
}

QByteArray aria2TellStatusRequest(const QString &secret, const QStringList &gids)
{
    const QJsonArray keys{QStringLiteral("status"),    QStringLiteral("totalLength"),
                          QStringLiteral("completedLength"), QStringLiteral("errorCode"),
                          QStringLiteral("errorMessage")};
    QJsonArray more;
    more.append(keys);
    return eachGid(QStringLiteral("aria2.tellStatus"), secret, gids, more);
}

QByteArray aria2ForceRemoveRequest(const QString &secret, const QStringList &gids)
{
    return eachGid(QStringLiteral("aria2.forceRemove"), secret, gids, {});
}

Aria2Answer parseAria2Answer(const QByteArray &body, qsizetype calls)
{
    QJsonParseError parseError;
    const QJsonDocument document = QJsonDocument::fromJson(body, &parseError);
    if (!document.isObject())
        return {{}, QStringLiteral("the answer is not JSON-RPC (%1)").arg(parseError.errorString())};
    const QJsonObject answer = document.object();
    if (answer.contains(QStringLiteral("error")))
        return {{}, faultText(answer.value(QStringLiteral("error")))};
    const QJsonArray results = answer.value(QStringLiteral("result")).toArray();
    if (results.size() != calls)
        return {{}, QStringLiteral("the answer holds %1 results for %2 calls").arg(results.size()).arg(calls)};
    Aria2Answer parsed;
    for (const QJsonValue &result : results) {
        // A call that worked is answered as a one-element array, a failed
        // one as a fault object.
        if (result.isArray() && result.toArray().size() == 1)
            parsed.results.append({result.toArray().first(), {}});
        else
            parsed.results.append({{}, result.isObject() ? faultText(result) : QStringLiteral("no result")});
    }
    return parsed;
}

Aria2Transfer aria2TransferOf(const Aria2Result &status)
{
    using Outcome = Aria2Transfer::Outcome;
    if (!status.error.isEmpty())
        return {Outcome::Failed, 0, 0, status.error};
    const QJsonObject state = status.value.toObject();
    Aria2Transfer transfer{Outcome::Open, number(state, "totalLength"), number(state, "completedLength"), {}};
    const QString name = state.value(QStringLiteral("status")).toString();
    if (name == QLatin1String("complete")) {
        transfer.outcome = Outcome::Downloaded;
    } else if (name == QLatin1String("error")) {
        const int code = int(number(state, "errorCode"));
        transfer.outcome = code == kResourceNotFound   ? Outcome::Missing
                           : code == kFileAlreadyThere ? Outcome::AlreadyThere
                                                       : Outcome::Failed;
        transfer.message = state.value(QStringLiteral("errorMessage")).toString();
        if (transfer.message.isEmpty())
            transfer.message = QStringLiteral("error %1").arg(code);
    } else if (name == QLatin1String("removed")) {
        transfer.outcome = Outcome::Failed;
        transfer.message = QStringLiteral("removed from aria2");
    } else if (name != QLatin1String("active") && name != QLatin1String("waiting")
               && name != QLatin1String("paused")) {
        transfer.outcome = Outcome::Failed;
        transfer.message = QStringLiteral("aria2 reports the status \"%1\"").arg(name);
    }
    return transfer;
}

void countIntoSummary(DownloadSummary &summary, qsizetype index, const QUrl &url, const Aria2Transfer &transfer)
{
    FileOutcome outcome = FileOutcome::NotTried;
    switch (transfer.outcome) {
    case Aria2Transfer::Outcome::Open:
        return;
    case Aria2Transfer::Outcome::Downloaded:
        ++summary.downloaded;
        outcome = FileOutcome::Saved;
        break;
    case Aria2Transfer::Outcome::AlreadyThere:
        ++summary.alreadyThere;
        outcome = FileOutcome::AlreadyThere;
        break;
    case Aria2Transfer::Outcome::Missing:
        ++summary.missing;
        outcome = FileOutcome::Missing;
        break;
    case Aria2Transfer::Outcome::Failed:
        ++summary.failed;
        outcome = FileOutcome::Failed;
        DownloadFailure failure;
        failure.url = url.adjusted(QUrl::RemoveUserInfo);
        failure.cause = DownloadFailure::Cause::Network;
        failure.text = transfer.message;
        summary.failures.append(failure);
        break;
    }
    if (index >= 0 && index < summary.outcomes.size())
        summary.outcomes[index] = outcome;
}

QStringList aria2Gids(const Aria2Answer &answer, QString *error)
{
    QStringList gids;
    for (const Aria2Result &result : answer.results) {
        if (!result.error.isEmpty() || !result.value.isString()) {
            *error = result.error.isEmpty() ? QStringLiteral("aria2 gave no transfer") : result.error;
            return {};
        }
        gids.append(result.value.toString());
    }
    if (!answer.error.isEmpty())
        *error = answer.error;
    return answer.error.isEmpty() ? gids : QStringList();
}
