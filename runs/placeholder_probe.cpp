#include "runs/placeholder_probe.h"

#include "runs/site_headers.h"

#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QNetworkRequest>
#include <memory>

QNetworkReply *probePlaceholder(QNetworkAccessManager &network, const QUrl &address, const SiteOptions &site,
                                int silenceMs, QObject *context,
                                std::function<void(std::optional<Placeholder>)> done)
{
    QNetworkRequest request(address);
    addSiteHeaders(request, site);
    request.setTransferTimeout(silenceMs);
    request.setMaximumRedirectsAllowed(RedirectChain::kMaxRedirects);
    // On the connection the run's files will take.
    request.setAttribute(QNetworkRequest::Http2AllowedAttribute, true);
    QNetworkReply *reply = network.get(request);
    reply->setReadBufferSize(256 * 1024);
    auto hash = std::make_shared<QCryptographicHash>(kPlaceholderHash);
    auto length = std::make_shared<qint64>(0);
    QObject::connect(reply, &QNetworkReply::readyRead, context, [reply, hash, length] {
        const QByteArray piece = reply->readAll();
        *length += piece.size();
        if (*length > kLargestPlaceholder)
            reply->abort();
        hash->addData(piece);
    });
    QObject::connect(reply, &QNetworkReply::finished, context, [reply, hash, length, done = std::move(done)] {
        reply->deleteLater();
        const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
        if (status == 200 && reply->error() == QNetworkReply::NoError)
            return done(Placeholder{reply->url(), *length, hash->result()});
        done(std::nullopt);
    });
    return reply;
}
