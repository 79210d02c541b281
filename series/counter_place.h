#pragma once

#include <QString>
#include <optional>

// Where in an address the counter sits: found by rules, or chosen by the
// user. Steps change only the counter, so the text after it never changes
// during a run, and a choice is held as the length of that text.

// The length of the text after a counter the user chose; nothing when the
// rules find the counter.
using CounterChoice = std::optional<qsizetype>;

// Whether the character at i belongs to a percent-escape ("%" and two hex
// digits). An escape is one character of the address and never part of a
// counter: "pic%2099.jpg" counts 99.
bool isInPercentEscape(const QString &url, qsizetype i);

// Where the path starts: after "scheme://" and the host (with its port), or
// at 0 for text that does not start with a scheme. The host never holds the
// counter.
qsizetype pathStart(const QString &url);

// Where the counter ends (the index just after its last character); 0 when
// the address holds no counter. A choice counts when its counter lies after
// the host and outside a percent-escape. Without one, in this order (digits
// and letters of an escape never count):
// - a file name (the last path segment before its extension, "." and one to
//   five letters or digits) ending in "-<digits>x<digits>" has a size there,
//   which stays after the counter; the rules below read the name before it;
// - a digit just before the extension (or the size) ends the counter;
// - so does one letter right after a digit there;
// - else the name's last run of digits;
// - else, with no digit in the name, the last number of the query;
// - else a letter before the extension (the last character outside an
//   escape);
// - else the last number of the path before the name;
// - else the character before the extension (the last one outside an
//   escape);
// - an address without an extension that ends in a digit: its end;
// - else the last run of digits of its path or query;
// - else the last letter or digit of its path.
qsizetype counterEnd(const QString &url, CounterChoice choice = {});

// The counter a selection in the URL box picks, as the length of the text
// after it: a selection of digits picks the whole run of digits around it,
// one letter picks that letter. Nothing when the selection is neither, or
// lies in the scheme or host, or in a percent-escape.
std::optional<qsizetype> selectedCounterTail(const QString &url, qsizetype start, qsizetype length);

// Whether a selection lies within the host and its port, which no step
// changes.
bool selectionInHost(const QString &url, qsizetype start, qsizetype length);

// An address whose counter is marked with square brackets after the host
// ("IMG_[0007]-1024x768.jpg"): the address without them, and the choice they
// make. Brackets around anything but digits or one letter (an IPv6 host) are
// part of the address.
struct BracketedAddress
{
    QString url;
    CounterChoice choice;
};
BracketedAddress unbracketCounter(const QString &text);
