#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <QUrl>

// An address as a user typed or pasted it, as the web address a download
// fetches. Pure: Qt Core only.

struct WebAddress
{
    enum class Problem {
        None,
        Scheme, // a scheme other than http or https
        NoHost, // no host to ask
        BadHost, // a host no server can have: too long, or characters a host name cannot hold
    };
    QUrl url;
    Problem problem = Problem::None;
};

// Characters an address may not hold (a space, a bare "%") are
// percent-encoded; an address without a scheme is taken as http.
WebAddress webAddress(const QString &text);

// A run's addresses as web addresses to fetch: all of them, or the problem
// of the first that cannot be fetched and that address as it may be shown
// (without a user name or password it holds, and its first 200 characters of
// a longer one).
struct RunAddresses
{
    QList<QUrl> urls;
    WebAddress::Problem problem = WebAddress::Problem::None;
    QString shown;
};
RunAddresses runAddresses(const QStringList &run);

// What a run's addresses were to be fetched for, and where the message
// about one that cannot be is shown.
enum class AddressUse { Download, Ask };
enum class MessageStyle {
    Window,   // a sentence, the address on a line of its own
    Terminal, // lower case, the address in quotes after a colon
};

// Why addresses cannot be fetched, naming the address; empty where they all
// can.
QString addressProblemMessage(const RunAddresses &addresses, AddressUse use, MessageStyle style);
