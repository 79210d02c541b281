#include "app/status_line.h"
#include "app/vemp_107.h"
#include "platform/busy_cursor.h"
#include "platform/clipboard.h"
#include "common/integer_conversion.h"
#include "series/series_text.h"

#include <QPushButton>
#include <QToolButton>

TVempForm::StepKind TVempForm::stepKindOf(const QObject *Sender) const
{
    if (Sender == btnClipboard2)
        return StepKind::Next;
    if (Sender == btnClipboardDec)
        return StepKind::Back;
    if (Sender == UpDownDoc)
        return StepKind::ArrowForward;
    if (Sender == Panel_URL)
        return StepKind::ArrowBack;
    if (Sender == btnFeed)
        return StepKind::PageStart;
    if (Sender == this)
        return StepKind::PageItem;
    return StepKind::Hidden;
}

bool TVempForm::btnIncClick(QObject *Sender)
{
    // A feed under way keeps the counter it started with.
    if (!(Timer1->isEnabled() && FeedCount != 0) && !takeSelectedCounter())
        return failStep(tr("The host and the port are not a counter."));
    const StepKind kind = stepKindOf(Sender);
    if (!(isDigitsMode() ? stepDigitCounter(kind) : stepLetterCounter(kind)))
        return false;

    if (kind == StepKind::PageStart)
        return true;
    if (kind == StepKind::Hidden || kind == StepKind::Next || kind == StepKind::Back) {
        if (!putUrlOnClipboard())
            return false;
    }
    PositionEdit();
    return true;
}

QString TVempForm::tooLongWarning()
{
    return tr("The number has more than %1 digits: it cannot be stepped.").arg(kLongestCounter);
}

// Steps the number in the URL as kind asks, and shows the range from there.
// False when it cannot, after failStep.
bool TVempForm::stepDigitCounter(StepKind kind)
{
    const int width = digitsValue();
    const SeriesSplit split = splitSeries(Edit1->text(), width, counterChoice());
    if (isCounterTooLong(Edit1->text(), counterChoice()))
        return failStep(tooLongWarning());
    const auto value = counterValue(split, width);
    if (!value)
        return failStep(tr("Change digits to match series."));
    int delta = +1;
    if (kind == StepKind::PageStart)
        delta = 0;
    else if (kind == StepKind::Back || kind == StepKind::ArrowBack)
        delta = -1;
    else if (Timer1->isEnabled() && FeedCount == 0)
        delta = 0;
    const auto stepped = steppedSeries(split, *value, delta, width);
    if (!stepped)
        return failStep(tooLongWarning());
    setSteppedUrl(stepped->chopped(split.extension.size()), split.extension);
    if (const auto range = GetRangeText(false)) {
        ShortURL = *range;
        StatusBar->setPanelText(0, ShortURL);
    }
    return true;
}

// Steps the letter before the URL's extension as kind asks, the up-down
// following it. False when it cannot, after failStep.
bool TVempForm::stepLetterCounter(StepKind kind)
{
    const SeriesSplit split = splitSeries(Edit1->text(), digitsValue(), counterChoice());
    const bool feedProgress = Timer1->isEnabled() && FeedCount != 0;
    // The Alpha step's own moves; the up-down's arrows have already moved it.
    const bool alphaForward = feedProgress || kind == StepKind::PageItem || kind == StepKind::Next;
    const bool alphaBack = kind == StepKind::Back;
    // The letter's whole move, the up-down's own arrow move included.
    const int arrow = kind == StepKind::ArrowForward ? 1 : kind == StepKind::ArrowBack ? -1 : 0;
    const int alphaDirection = int(alphaForward) - int(alphaBack) + arrow;

    if (split.counter.isEmpty())
        return failStep(tr("Change digits to match series."));
    const QChar current = split.counter.front();
    if (current.unicode() > 0xFF) {
        // Beyond the 8-bit codes the letter steps by whole characters, in the
        // direction the 8-bit rules give; half of a pair is refused.
        const auto letter = steppedWideLetter(current, alphaDirection);
        if (!letter)
            return failStep(tr("The character before the extension cannot be stepped."));
        setSteppedUrl(split.prefix + *letter, split.extension);
        ShortURL = QStringLiteral("..") + *letter + split.extension;
        StatusBar->setPanelText(0, ShortURL);
        return true;
    }
    if (isLetterSeriesEnd(current, alphaDirection)) {
        // The up-down's own arrow has moved: back to the letter that stays.
        UpDownDoc->setPosition(current.unicode());
        return failStep(tr("The series of letters ends at %1.").arg(current));
    }
    int position = UpDownDoc->position();
    if (alphaForward)
        position = stepLetterPosition(position, +1);
    if (alphaBack)
        position = stepLetterPosition(position, -1);
    // The up-down's own arrows may have landed on code 0: pass over it in
    // the direction of travel.
    if ((position & 0xFF) == 0)
        position = stepLetterPosition(position, (alphaBack || kind == StepKind::ArrowBack) ? -1 : +1);
    UpDownDoc->setPosition(position);
    const QChar letter = letterForPosition(position);
    setSteppedUrl(split.prefix + letter, split.extension);
    ShortURL = QStringLiteral("..") + letter + split.extension;
    StatusBar->setPanelText(0, ShortURL);
    return true;
}

void TVempForm::setSteppedUrl(const QString &upToCounter, const QString &tail)
{
    const QString stepped = upToCounter + tail;
    holdSteppedCounter(stepped, tail);
    Edit1->setTextCascade(stepped);
}

bool TVempForm::failStep(const QString &warning)
{
    Timer1->setEnabled(false);
    showWarning(warning);
    m_platform.cursor.ready();
    return false;
}

void TVempForm::UpDownDocClick(QObject *, UpDown::Arrow Button)
{
    btnIncClick(Button == UpDown::Arrow::Previous ? static_cast<QObject *>(Panel_URL) : UpDownDoc);
}

// The caret goes just before the counter's last character, the box scrolled
// as far towards the end as that allows. One move, where a key press per
// character after the counter would cost microseconds each.
void TVempForm::PositionEdit()
{
    Edit1->end(false);
    const QString url = Edit1->text();
    if (hasSeriesRoom(url, counterChoice()))
        Edit1->setCursorPosition(int(counterEnd(url, counterChoice()) - 1));
}
