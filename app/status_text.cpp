#include "app/status_text.h"

QString addressShown(const QUrl &url, const std::function<bool(const QString &)> &fits)
{
    const QString whole = url.adjusted(QUrl::RemoveUserInfo).toString();
    if (fits(whole))
        return whole;
    QString host = url.host();
    if (url.port() >= 0)
        host += u':' + QString::number(url.port());
    const QString path = url.path();
    const QString withPath = host + path;
    if (fits(withPath))
        return withPath;
    const QString file = url.fileName();
    if (!file.isEmpty()) {
        const QString hostAndFile = path == u'/' + file ? withPath : host + QStringLiteral("/\u2026/") + file;
        if (fits(hostAndFile))
            return hostAndFile;
    }
    return host.isEmpty() ? whole : host;
}
