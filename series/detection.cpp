#include "app/status_line.h"
#include "app/vemp_107.h"
#include "platform/busy_cursor.h"
#include "common/integer_conversion.h"
#include "series/series_text.h"

#include <QApplication>
#include <QLabel>

// The series state lives in the controls: the URL is Edit1's text, the mode
// is whether UpDownDigits is enabled, the width is EditDigits' number.

bool TVempForm::isDigitsMode() const
{
    return UpDownDigits->isEnabled();
}

int TVempForm::digitsValue() const
{
    return strToInt(EditDigits->text());
}

void TVempForm::setDigitsControls(bool digitsMode)
{
    EditDigits->setEnabled(digitsMode);
    UpDownDigits->setEnabled(digitsMode);
    // A screen reader reads the caption the label shows.
    const QString caption = digitsMode ? tr("Digits") : tr("Alpha");
    LabelDigits->setText(caption);
    LabelDigits->setAccessibleName(caption);
}

// The letter's code goes to UpDownDoc, where the Alpha step reads it.
void TVempForm::enterAlphaMode(QChar letter)
{
    if (m_seriesWarningShown)
        ShowReady();
    UpDownDoc->setPosition(letter.unicode());
    setDigitsControls(false);
    UpDownDigits->setPosition(1);
}

void TVempForm::showShortForm()
{
    const QString url = Edit1->text();
    const qsizetype end = counterEnd(url, counterChoice());
    StatusBar->setPanelText(0, shortForm(url, end > 0 ? end - 1 : -1));
}

void TVempForm::enterDigitsMode()
{
    setDigitsControls(true);
    UpDownDigits->setPosition(1);
}

CounterChoice TVempForm::counterChoice() const
{
    if (!m_chosenTail)
        return std::nullopt;
    return m_chosenTail->size();
}

bool TVempForm::takeSelectedCounter()
{
    if (!Edit1->hasSelectedText())
        return true;
    const QString url = Edit1->text();
    if (selectionInHost(url, Edit1->selectionStart(), Edit1->selectionLength()))
        return false;
    const auto tail = selectedCounterTail(url, Edit1->selectionStart(), Edit1->selectionLength());
    if (!tail)
        return true;
    // The rules' own counter needs no choice: held, it would outlive the
    // address in every other address with the same ending.
    std::optional<QString> chosen;
    if (url.size() - *tail != counterEnd(url))
        chosen = url.right(*tail);
    if (chosen == m_chosenTail)
        return true;
    m_chosenTail = chosen;
    if (Activated)
        Edit1Change(Edit1);
    return true;
}

void TVempForm::holdSteppedCounter(const QString &stepped, const QString &tail)
{
    if (!m_chosenTail && counterEnd(stepped) != stepped.size() - tail.size())
        m_chosenTail = tail;
}

void TVempForm::Edit1Change(QObject *)
{
    const QString url = Edit1->text();
    // A choice holds until the text after the chosen counter changes.
    if (m_chosenTail && !url.endsWith(*m_chosenTail))
        m_chosenTail.reset();
    if (!Activated)
        return;
    const CounterChoice choice = counterChoice();
    if (hasSeriesRoom(url, choice)) {
        const QChar c1 = counterChar(url, 1, choice);
        if (!isDecimalDigit(c1)) {
            enterAlphaMode(c1);
            showShortForm();
            return;
        }
        if (!isDigitsMode())
            enterDigitsMode();
    } else if (!isDigitsMode() && counterEnd(url, choice) == 0) {
        showShortForm();
        warnInStatusLine();
    }
    if (isDigitsMode())
        btnPasteClick(Edit1);
}

void TVempForm::runDetection(QObject *Sender)
{
    const QString url = Edit1->text();
    const CounterChoice choice = counterChoice();
    if (isAlphaSeries(url, choice)) {
        enterAlphaMode(counterChar(url, 1, choice));
        return;
    }
    UpDownDigits->setPosition(countCounterDigits(url, choice));
    if (const auto range = GetRangeText(false)) {
        StatusBar->setPanelText(0, *range);
        // A new series shows its range even when its width is the old one's,
        // as does a text that holds a counter again after a warning; a step
        // within the series leaves panel 1 to the feed's progress.
        if (const auto last = rangeText(url, digitsValue(), true, choice);
            last && (*last != m_rangeShown || m_seriesWarningShown))
            showRange(*last);
    } else {
        showShortForm();
        // A pasted text stays as it came; the warning says why it cannot step.
        if (Sender != Edit1 && Sender != qApp)
            showWarning(seriesWarning());
    }
    // A URL box hidden by Show URL cannot take the focus; the detection then
    // leaves focus and caret alone rather than failing.
    if (Sender != Edit1 && Edit1->isVisibleTo(this)) {
        Edit1->setFocus();
        PositionEdit();
    }
}

void TVempForm::EditDigitsChange(QObject *)
{
    if (!isDigitsMode())
        return;
    // Two characters hold every width; a second digit that would go past
    // the longest counter is not taken, as a box full to its length would
    // not take it.
    QString text = EditDigits->text().left(2);
    if (strToInt(text) > kLongestCounter)
        text.truncate(1);
    EditDigits->setTextCascade(text);
    UpDownItems->setPosition(1);
    UpDownItems->setMaximum(itemsMaximum(digitsValue()));
    if (const auto range = GetRangeText(true)) {
        showRange(*range);
        return;
    }
    // A width past the address's digits goes back to the width it has; the
    // address stays.
    const QString url = Edit1->text();
    const int found = countCounterDigits(url, counterChoice());
    if (found != digitsValue() && rangeText(url, found, true, counterChoice())) {
        showWarning(tr("Change digits to match series."));
        UpDownDigits->setPosition(found);
        EditDigits->setTextCascade(QString::number(found));
    }
}

void TVempForm::showRange(const QString &range)
{
    m_rangeShown = range;
    ShowStatus(range);
}

void TVempForm::EditNumItemsChange(QObject *)
{
    QString text = EditNumItems->text().left(itemsTextLimit(digitsValue()));
    if (strToInt(text) < 0)
        text = QStringLiteral("1");
    EditNumItems->setTextCascade(text);
}

QString TVempForm::seriesWarning()
{
    return UpDownDigits->position() == 1 ? tr("Alphabetical series URL removed.")
                                         : tr("Change digits to match series.");
}

std::optional<QString> TVempForm::GetRangeText(bool AllNines)
{
    if (auto range = rangeText(Edit1->text(), digitsValue(), AllNines, counterChoice()))
        return range;
    warnInStatusLine();
    return std::nullopt;
}

void TVempForm::warnInStatusLine()
{
    // The text stays as the user left it; the status line says what is
    // wrong until it holds a counter again. A feed cannot go on.
    Timer1->setEnabled(false);
    ShowStatus(seriesWarning());
    m_seriesWarningShown = true;
    m_platform.cursor.ready();
}
