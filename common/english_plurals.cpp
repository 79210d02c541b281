#include "common/english_plurals.h"

#include <QCoreApplication>
#include <QRegularExpression>
#include <QTranslator>

namespace {
class EnglishPlurals final : public QTranslator
{
public:
    using QTranslator::QTranslator;

    QString translate(const char *, const char *sourceText, const char *, int n) const override
    {
        if (n < 0 || !sourceText)
            return {};
        const QString text = QString::fromUtf8(sourceText);
        return text.contains(QLatin1String("%n")) ? englishPluralForm(text, n) : QString();
    }

    bool isEmpty() const override { return false; }
};

void installEnglishPlurals()
{
    QCoreApplication::installTranslator(new EnglishPlurals(QCoreApplication::instance()));
}
} // namespace

Q_COREAPP_STARTUP_FUNCTION(installEnglishPlurals)

QString englishPluralForm(const QString &text, int n)
{
    static const QRegularExpression forms(QStringLiteral("\\(([^()|]*)\\|([^()|]*)\\)|\\((e?s)\\)"));
    const bool one = n == 1;
    QString result;
    qsizetype from = 0;
    for (const QRegularExpressionMatch &match : forms.globalMatch(text)) {
        result += QStringView(text).mid(from, match.capturedStart() - from);
        if (match.hasCaptured(3))
            result += one ? QString() : match.captured(3);
        else
            result += one ? match.captured(1) : match.captured(2);
        from = match.capturedEnd();
    }
    result += QStringView(text).mid(from);
    return result;
}

QString trCount(const char *context, const char *text, int n)
{
    return QCoreApplication::translate(context, text, nullptr, n);
}
