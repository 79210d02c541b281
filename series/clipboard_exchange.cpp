#include "app/vemp_107.h"
#include "platform/clipboard.h"

#include <QApplication>

namespace {
// Paste takes at most this many characters, up to the first NUL, without
// the white space around them.
constexpr qsizetype kPasteLimit = 1023;

// A box holds one line: of a pasted list, the first line that holds text.
struct FirstLine
{
    QString line;
    qsizetype leftOut = 0; // the other lines that hold text
};

FirstLine firstLineWithText(const QString &text)
{
    FirstLine first;
    bool found = false;
    for (const QStringView line : QStringView(text).tokenize(u'\n')) {
        const QStringView content = line.trimmed();
        if (content.isEmpty())
            continue;
        if (found) {
            ++first.leftOut;
        } else {
            first.line = line.endsWith(u'\r') ? line.chopped(1).toString() : line.toString();
            found = true;
        }
    }
    return first;
}
} // namespace

void TVempForm::showLinesLeftOut(qsizetype count)
{
    if (count > 0)
        ShowStatus(tr("First line pasted, %n left out", nullptr, int(count)),
                   tr("Pasted the first line; %n more line(s) left out.", nullptr, int(count)));
}

void TVempForm::btnPasteClick(QObject *Sender)
{
    if (Sender != qApp && Sender != Edit1) {
        const bool hasText = m_platform.clipboard.hasText();
        QString text = hasText ? m_platform.clipboard.text() : QString();
        if (!m_platform.clipboard.answered()) {
            showWarning(tr("The program that holds the clipboard did not answer."));
            return;
        }
        if (!hasText) {
            showWarning(tr("No text in clipboard."));
            return;
        }
        if (const qsizetype nul = text.indexOf(QChar(u'\0')); nul >= 0)
            text.truncate(nul);
        // Text copied from a terminal or an editor comes with a line break or
        // blanks around it; they are no part of the URL.
        FirstLine first = firstLineWithText(text);
        text = std::move(first.line).trimmed();
        if (text.size() > kPasteLimit)
            text.truncate(text[kPasteLimit - 1].isHighSurrogate() ? kPasteLimit - 1 : kPasteLimit);
        enterDigitsMode();
        Edit1->setTextCascade(text);
        runDetection(Sender);
        showLinesLeftOut(first.leftOut);
        return;
    }
    runDetection(Sender);
}

void TVempForm::pasteIntoBox(ChangeEdit *box, bool selection)
{
    // The same read as Paste's, with its deadline, of the clipboard or (for a
    // middle click) of the text last selected; the text goes in as the line
    // edit's own paste puts it, and the box's change handler runs once.
    QString text;
    if (selection)
        text = m_platform.clipboard.selectionText();
    else if (m_platform.clipboard.hasText())
        text = m_platform.clipboard.text();
    if (!m_platform.clipboard.answered()) {
        showWarning(tr("The program that holds the clipboard did not answer."));
        return;
    }
    const FirstLine first = firstLineWithText(text);
    if (!first.line.isEmpty())
        box->insert(first.line);
    showLinesLeftOut(first.leftOut);
}

void TVempForm::btnCopyClick(QObject *)
{
    putUrlOnClipboard();
}

bool TVempForm::putUrlOnClipboard()
{
    // Never count a hand-over that did not happen.
    const QString url = Edit1->text();
    return m_platform.clipboard.setText(url) || failStep(tr("The clipboard did not take %1.").arg(url));
}
