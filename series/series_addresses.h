#pragma once

#include "series/run_list.h"
#include "series/series_run.h"

#include <QString>
#include <QStringList>
#include <optional>

// The addresses of a series by their place in it (0: the address given), as
// a run makes them, for a search that asks for a few of them far apart.
// Pure: Qt Core only.
class SeriesAddresses
{
public:
    // The farthest a series is followed: past it no address is made.
    static constexpr qint64 kFarthest = 100000;

    // typed as --list takes it: square brackets may choose the counter.
    explicit SeriesAddresses(const QString &typed);
    // As the window steps url: in its mode, at its width, on its counter.
    SeriesAddresses(const QString &url, SeriesMode mode, int width, CounterChoice choice);

    // The address at index; empty past kFarthest or past where the counter
    // can be stepped.
    std::optional<QString> at(qint64 index);
    // Its counter, as the step left it.
    std::optional<QString> counterAt(qint64 index);
    // The first count addresses and their counters; empty when they cannot
    // all be made.
    ListedRun first(qint64 count);

private:
    // Whether the first count addresses can be made; makes them.
    bool reach(qint64 count);

    QString m_url;
    SeriesMode m_mode;
    int m_width;
    CounterChoice m_choice;
    QStringList m_made;
    QStringList m_counters;
    // Runs this long or longer cannot be made.
    qint64 m_unreachable = kFarthest + 1;
};
