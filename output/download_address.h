#pragma once

#include <QString>
#include <QUrl>

// An address as a user typed or pasted it, as the web address a download
// fetches. Pure: Qt Core only.

struct WebAddress
{
    enum class Problem {
        None,
        Scheme, // a scheme other than http or https
        NoHost, // no host to ask
    };
    QUrl url;
    Problem problem = Problem::None;
};

// Characters an address may not hold (a space, a bare "%") are
// percent-encoded; an address without a scheme is taken as http.
WebAddress webAddress(const QString &text);
