#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <functional>

// The download manager KGet on the session bus. Every call is asynchronous:
// its answer comes later from the event loop, never while the caller waits.
class KGet
{
public:
    // What KGet said to a hand-over: the transfers it made, or its error
    // (empty error: it answered with no transfer).
    struct Answer
    {
        bool accepted = false;
        int transfers = 0;
        QString error;
    };

    virtual ~KGet() = default;
    // Whether KGet's service is on the bus now.
    virtual void checkPresent(std::function<void(bool present)> done) = 0;
    // Hands KGet every URL in one call, to be saved in folder and started at
    // once. An absent answer after five seconds and 20 ms a URL is an error.
    virtual void addTransfers(const QStringList &urls, const QString &folder, std::function<void(Answer)> done) = 0;
};

class DBusKGet : public KGet
{
public:
    void checkPresent(std::function<void(bool present)> done) override;
    void addTransfers(const QStringList &urls, const QString &folder, std::function<void(Answer)> done) override;

private:
    QObject m_context; // ends the answers still due when Serimo closes
};
