#pragma once

#include <QString>

// Counted texts are written once with Qt's %n and their English forms
// marked in them: "(s)" and "(es)" are added past one, "(a|b)" is a for one
// and b otherwise ("%n file(s) (was|were) there already"). A translator of
// these forms is installed with every application object the program makes,
// so that tr(text, nullptr, n) reads "1 request", "2 requests".

// The English form of text for n, %n left for Qt to fill; text itself when
// it marks no form.
QString englishPluralForm(const QString &text, int n);

// QCoreApplication::translate(context, text, nullptr, n) for the texts that
// belong to no window.
QString trCount(const char *context, const char *text, int n);
