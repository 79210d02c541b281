#pragma once

#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

// A run of a series as a list of addresses: the text the run commands hand
// over, the name Save run list suggests, and what `serimo --list` prints.

// One address per line, every line ending in LF.
QString runListText(const QStringList &run);

// "<first file name>-<count>.txt": the file name of the run's first address
// without its extension (query and fragment left out), made safe for a file
// name; "run" where the address has none.
QString suggestedRunListName(const QString &firstUrl, int count);

// What `--list URL [COUNT]` gives: the run, or the one line that tells why
// there is none.
struct ListedRun
{
    QStringList run;
    QString error;
    QStringList counters; // each address's counter
};

// The most addresses a list holds.
constexpr int kListMaximum = 999;

// A COUNT's value: a whole number from 1 to kListMaximum, written with at
// most three digits and nothing else; empty for any other text.
std::optional<int> runCount(const QString &text);

// A page or a folder given as a series: the address ends in "/" and its
// path (other than the site's root) holds no number, so there is nothing to
// step (a gallery's page, not a picture of it). A numbered folder
// ("/blog/page/2/") is a series.
bool isPageAddress(const QString &address);

// What to do instead, for a page given as a series.
QString pageAddressHint();

// The address is one with "scheme://host" and no control character. COUNT,
// when given, is a whole number from 1 to kListMaximum; without it the
// run is as long as the Items box allows for the address's counter width.
// Mode and width are those the window detects for the address. Square
// brackets around digits or one letter after the host choose the counter:
// "IMG_[0007]-1024x768.jpg" steps the 0007 and prints the names without them.
ListedRun listedRun(const QString &address, const std::optional<QString> &countText);

// The same run, each address handed to take as soon as it is made (so that
// --list prints as it goes, in flat memory); take stops it by returning
// false. take gets each address with its counter. The line that tells why
// there is no run, or empty.
QString walkListedRun(const QString &address, const std::optional<QString> &countText,
                      const std::function<bool(const QString &url, const QString &counter)> &take);
