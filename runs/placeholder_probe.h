#pragma once

#include "runs/placeholder.h"
#include "runs/site_options.h"

#include <QUrl>
#include <functional>
#include <optional>

class QNetworkAccessManager;
class QNetworkReply;
class QObject;

// A placeholder larger than this is not hashed: no file is matched by its body.
inline constexpr qint64 kLargestPlaceholder = 16 * 1024 * 1024;

// Asks for `address`, an address of the series that cannot exist, and
// reports to `context` what the server answered 200 for it: nothing when it
// answered otherwise, failed, or said nothing for `silenceMs`. To drop it,
// disconnect the reply from `context`, abort it and delete it later.
QNetworkReply *probePlaceholder(QNetworkAccessManager &network, const QUrl &address, const SiteOptions &site,
                                int silenceMs, QObject *context,
                                std::function<void(std::optional<Placeholder>)> done);
