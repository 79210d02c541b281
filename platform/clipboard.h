#pragma once

#include <QString>

// The system clipboard's plain text. Every member is for each adapter to
// give: one that wraps another passes each of them on.
class Clipboard
{
public:
    virtual ~Clipboard() = default;
    virtual bool hasText() const = 0;
    virtual QString text() const = 0;
    // The text of the X PRIMARY selection (what the user last selected),
    // which a middle click pastes. The X11 clipboard reads it with its
    // deadline and sets answered() as text() does.
    virtual QString selectionText() const = 0;
    // False when the last read met a clipboard owner that did not answer in
    // time: what it gave is not what the clipboard holds.
    virtual bool answered() const = 0;
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
    // Qt's own read, which can wait seconds for an owner that does not answer.
    QString selectionText() const override;
    bool answered() const override { return true; }
    bool setText(const QString &text) override;
};
