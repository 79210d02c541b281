#pragma once

#include "runs/run_end.h"

#include <QList>
#include <QtGlobal>
#include <map>
#include <optional>
#include <set>

// Where a series ends, found by asking for a few of its addresses instead of
// walking all of them. Indices count from the first address (0). Pure: it
// says which indices to ask next and learns from the answers; asking is the
// caller's.
//
// The first address is asked twice, with HEAD and with GET, to see whether
// the server answers HEAD as it answers GET. Then the rule steps out to the
// powers of two (1, 2, 4, ...) past the last present index until one is
// missing, bisects between the last present and the first missing, and
// confirms the candidate end as a download ends a series: the ten addresses
// after it are all missing. A present one among them means a gap; the search
// goes on from the farthest present one. HEAD is checked, not trusted: a
// candidate found with HEAD is asked again with GET (it and the one after
// it), and where GET says otherwise the search starts over with GET alone.
//
// For a series of N addresses without gaps that costs at most
// 2 * ceil(log2(N + 1)) + 14 requests, the first address's two included.

enum class ProbeMethod { Head, Get };

enum class ProbeAnswer {
    Present,
    Missing,
    // The server does not answer HEAD (405, 501): that index is asked again
    // with GET, and so is every later one.
    Refused,
};

struct Probe
{
    qint64 index = 0;
    ProbeMethod method = ProbeMethod::Head;
    friend bool operator==(const Probe &, const Probe &) = default;
};

class EndSearch
{
public:
    // This many missing addresses in a row after the end confirm it.
    static constexpr int kMissingRunEnd = kSeriesEndMisses;
    // At most this many probes are out at once.
    static constexpr int kMaxInFlight = 4;

    // The probes to send now; none while the next one depends on answers
    // still out, or once the search is done.
    QList<Probe> nextProbes();
    // What the server said to a probe handed out by nextProbes.
    void answer(const Probe &probe, ProbeAnswer answer);

    bool isDone() const { return m_done; }
    // The index of the series' last address; empty when the first address
    // itself is missing.
    std::optional<qint64> end() const;
    // Probes handed out so far.
    int probesSent() const { return m_sent; }
    // How the indices after the first are asked.
    ProbeMethod method() const { return m_method; }

private:
    void ask(QList<Probe> &probes, qint64 index, ProbeMethod method);
    void decideMethod();
    void checkConfirmed();
    // The candidate end found with HEAD, asked with GET: true once GET
    // agrees; false while its answers are out.
    bool checkedWithGet(QList<Probe> &probes);
    void startOverWithGet();
    std::optional<qint64> firstMissingAfterLastPresent() const;

    std::map<qint64, bool> m_present; // what the server said, by index
    std::set<qint64> m_inFlight;
    std::optional<ProbeAnswer> m_firstHead;
    std::optional<qint64> m_lastPresent;
    ProbeMethod m_method = ProbeMethod::Head;
    bool m_methodDecided = false;
    bool m_firstHeadOut = false;
    int m_sent = 0;
    bool m_done = false;
    // What GET said of the candidate end found with HEAD, and of the one
    // after it, by index.
    std::map<qint64, bool> m_byGet;
    std::set<qint64> m_getOut;
};
