#pragma once

#include "platform/clipboard.h"
#include "platform/x11/x_clipboard_owner.h"

#include <memory>

// A native Wayland clipboard whose every hand-over also goes to the X
// clipboard, for the X programs of the same desktop. Whether the hand-over
// happened is the Wayland clipboard's answer.
class XMirroredClipboard : public Clipboard
{
public:
    XMirroredClipboard(std::unique_ptr<Clipboard> wayland, std::unique_ptr<XClipboardOwner> x)
        : m_wayland(std::move(wayland)), m_x(std::move(x))
    {
    }
    bool hasText() const override { return m_wayland->hasText(); }
    QString text() const override { return m_wayland->text(); }
    QString selectionText() const override { return m_wayland->selectionText(); }
    bool answered() const override { return m_wayland->answered(); }
    bool setText(const QString &text) override
    {
        // The compositor's bridge takes the X clipboard for the Wayland
        // text; Serimo's own owner takes it after that, so it is the one X
        // programs read.
        if (!m_wayland->setText(text))
            return false;
        m_x->take(text);
        return true;
    }

private:
    std::unique_ptr<Clipboard> m_wayland;
    std::unique_ptr<XClipboardOwner> m_x;
};
