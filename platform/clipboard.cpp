#include "platform/clipboard.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

bool QtClipboard::hasText() const
{
    const QMimeData *data = QGuiApplication::clipboard()->mimeData(QClipboard::Clipboard);
    return data && data->hasText();
}

QString QtClipboard::text() const
{
    return QGuiApplication::clipboard()->text(QClipboard::Clipboard);
}

QString QtClipboard::selectionText() const
{
    return QGuiApplication::clipboard()->text(QClipboard::Selection);
}

bool QtClipboard::setText(const QString &text)
{
    QClipboard *clipboard = QGuiApplication::clipboard();
    clipboard->setText(text, QClipboard::Clipboard);
    // On X11 the window system can refuse Serimo the selection's ownership.
    return clipboard->ownsClipboard() && clipboard->text(QClipboard::Clipboard) == text;
}
