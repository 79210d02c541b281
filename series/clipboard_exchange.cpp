#include "app/vemp_107.h"
#include "platform/clipboard.h"

#include <QApplication>

namespace {
// Paste takes at most this many characters, up to the first NUL.
constexpr qsizetype kPasteLimit = 1023;
} // namespace

void TVempForm::btnPasteClick(QObject *Sender)
{
    if (Sender != qApp && Sender != Edit1) {
        if (!m_platform.clipboard.hasText()) {
            showWarning(tr("No text in clipboard."));
            return;
        }
        QString text = m_platform.clipboard.text();
        if (text.size() > kPasteLimit)
            text.truncate(text[kPasteLimit - 1].isHighSurrogate() ? kPasteLimit - 1 : kPasteLimit);
        if (const qsizetype nul = text.indexOf(QChar(u'\0')); nul >= 0)
            text.truncate(nul);
        enterDigitsMode();
        Edit1->setTextCascade(text);
    }
    runDetection(Sender);
}

void TVempForm::btnCopyClick(QObject *)
{
    m_platform.clipboard.setText(Edit1->text());
}
