#pragma once

#include <QClipboard>
#include <QGuiApplication>
#include <QString>

// The system clipboard's plain text.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual bool hasText() const = 0;
    virtual QString text() const = 0;
    // The text of the X PRIMARY selection (what the user last selected),
    // which a middle click pastes. Qt's own read here, which can wait
    // seconds for an owner that does not answer; the X11 clipboard reads it
    // with its deadline and sets answered() as text() does.
    virtual QString selectionText() const { return QGuiApplication::clipboard()->text(QClipboard::Selection); }
    // False when the last hasText() or text() met a clipboard owner that did
    // not answer in time: what it gave is not what the clipboard holds.
    virtual bool answered() const { return true; }
    // True when the clipboard holds the text right after the write; a
    // program that takes the clipboard over later changes nothing.
    virtual bool setText(const QString &text) = 0;
};

// The desktop's CLIPBOARD selection. On X11 Serimo owns the text it set and
// serves it to other programs through the event loop for as long as it runs.
class QtClipboard : public Clipboard
{
public:
    bool hasText() const override;
    QString text() const override;
    bool setText(const QString &text) override;
};
