#pragma once

#include <QString>
#include <exception>

// The error a command does not handle itself. It unwinds the whole user
// command, through every nested change handler, to the guard at the entry
// from Qt, which shows its text in the general error report.
class SerimoError : public std::exception
{
public:
    explicit SerimoError(QString message) : m_message(std::move(message)), m_utf8(m_message.toUtf8()) {}

    const QString &message() const noexcept { return m_message; }
    const char *what() const noexcept override { return m_utf8.constData(); }

private:
    QString m_message;
    QByteArray m_utf8;
};
