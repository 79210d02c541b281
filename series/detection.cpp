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
    UpDownDoc->setPosition(letter.unicode());
    setDigitsControls(false);
    UpDownDigits->setPosition(1);
}

void TVempForm::enterDigitsMode()
{
    setDigitsControls(true);
    UpDownDigits->setPosition(1);
}

void TVempForm::Edit1Change(QObject *)
{
    if (!Activated)
        return;
    const QString url = Edit1->text();
    if (hasSeriesRoom(url)) {
        const QChar c1 = counterChar(url, 1);
        if (!isDecimalDigit(c1)) {
            enterAlphaMode(c1);
            return;
        }
        if (!isDigitsMode())
            enterDigitsMode();
    }
    if (isDigitsMode())
        btnPasteClick(Edit1);
}

void TVempForm::runDetection(QObject *Sender)
{
    const QString url = Edit1->text();
    if (isAlphaSeries(url)) {
        enterAlphaMode(counterChar(url, 1));
        return;
    }
    UpDownDigits->setPosition(countCounterDigits(url));
    if (const auto range = GetRangeText(false)) {
        StatusBar->setPanelText(0, *range);
        // A new series shows its range even when its width is the old one's;
        // a step within the series leaves panel 1 to the feed's progress.
        if (const auto last = rangeText(url, digitsValue(), true); last && *last != m_rangeShown)
            showRange(*last);
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
    const QString text = EditDigits->text().left(1);
    strToInt(text);
    EditDigits->setTextCascade(text);
    UpDownItems->setPosition(1);
    UpDownItems->setMaximum(itemsMaximum(digitsValue()));
    if (const auto range = GetRangeText(true))
        showRange(*range);
}

void TVempForm::showRange(const QString &range)
{
    m_rangeShown = range;
    StatusBar->setPanelText(1, range);
}

void TVempForm::EditNumItemsChange(QObject *)
{
    QString text = EditNumItems->text().left(itemsTextLimit(digitsValue()));
    if (strToInt(text) < 0)
        text = QStringLiteral("1");
    EditNumItems->setTextCascade(text);
}

std::optional<QString> TVempForm::GetRangeText(bool AllNines)
{
    const QString url = Edit1->text();
    if (auto range = rangeText(url, digitsValue(), AllNines))
        return range;
    Timer1->setEnabled(false);
    const bool widthOne = UpDownDigits->position() == 1;
    Edit1->setTextCascade(kPlaceholderUrl);
    showWarning(widthOne ? tr("Alphabetical series URL removed.") : tr("Change digits to match series."));
    m_platform.cursor.ready();
    return std::nullopt;
}
