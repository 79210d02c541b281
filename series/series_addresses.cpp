#include "series/series_addresses.h"

#include "series/series_text.h"

#include <algorithm>

SeriesAddresses::SeriesAddresses(const QString &url, SeriesMode mode, int width, CounterChoice choice)
    : m_url(url), m_mode(mode), m_width(width), m_choice(choice)
{
}

namespace {
SeriesAddresses fromTyped(const QString &typed)
{
    const auto [url, choice] = unbracketCounter(typed);
    const SeriesMode mode = detectedMode(url, choice);
    return SeriesAddresses(url, mode, detectedWidth(url, mode, choice), choice);
}
} // namespace

SeriesAddresses::SeriesAddresses(const QString &typed) : SeriesAddresses(fromTyped(typed)) {}

bool SeriesAddresses::reach(qint64 count)
{
    if (count > m_made.size() && count < m_unreachable) {
        // Made again from the start, as a run is: growing the cache by
        // doubling keeps the work in proportion to the farthest index asked.
        const qint64 wanted = std::min(std::max(count, 2 * qint64(m_made.size())), m_unreachable - 1);
        QStringList counters;
        QStringList run = seriesRun(m_url, m_mode, m_width, int(wanted), m_choice, &counters);
        // A run ends early where its series does (a letter at z, the longest
        // number): the addresses after its last cannot be made.
        if (run.size() < wanted)
            m_unreachable = run.size() + 1;
        if (run.size() > m_made.size()) {
            m_made = run;
            m_counters = counters;
        }
    }
    return count <= m_made.size();
}

ListedRun SeriesAddresses::first(qint64 count)
{
    if (!reach(count))
        return {};
    return {m_made.first(count), {}, m_counters.first(count)};
}

std::optional<QString> SeriesAddresses::at(qint64 index)
{
    return reach(index + 1) ? std::optional(m_made.at(index)) : std::nullopt;
}

std::optional<QString> SeriesAddresses::counterAt(qint64 index)
{
    return reach(index + 1) ? std::optional(m_counters.at(index)) : std::nullopt;
}
