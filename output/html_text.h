#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// Text rules shared by the two pages the program writes.

// A value made safe inside a double-quoted HTML attribute: & < > " become
// entities, so the value can never end its attribute or open a tag, and
// control characters become numeric references, so it stays on its line.
QString escapeAttribute(const QString &value);

// The page's bytes: one byte per character (Latin-1), a character beyond
// code 255 as a numeric character reference, CR LF after every line.
QByteArray encodePageLines(const QStringList &lines);
