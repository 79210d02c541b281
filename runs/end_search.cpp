#include "runs/end_search.h"

#include <bit>

void EndSearch::ask(QList<Probe> &probes, qint64 index, ProbeMethod method)
{
    probes.append({index, method});
    if (method == ProbeMethod::Head && index == 0 && !m_methodDecided)
        m_firstHeadOut = true;
    else
        m_inFlight.insert(index);
    ++m_sent;
}

QList<Probe> EndSearch::nextProbes()
{
    QList<Probe> probes;
    if (m_done)
        return probes;
    if (m_sent == 0) {
        ask(probes, 0, ProbeMethod::Head);
        ask(probes, 0, ProbeMethod::Get);
        return probes;
    }
    if (!m_methodDecided || !m_lastPresent)
        return probes;
    const qint64 lastPresent = *m_lastPresent;
    const std::optional<qint64> firstMissing = firstMissingAfterLastPresent();
    if (!firstMissing || *firstMissing > lastPresent + 1) {
        // Each step depends on the answer before it.
        if (!m_inFlight.empty())
            return probes;
        const qint64 next = firstMissing ? lastPresent + (*firstMissing - lastPresent) / 2
                                         : qint64(std::bit_ceil(quint64(lastPresent) + 1));
        ask(probes, next, m_method);
        return probes;
    }
    // The candidate is confirmed by the run of missing ones after it. The
    // farthest goes first, alone: behind a short gap it is present, and the
    // search goes on from there for one request. The rest can be asked at
    // once.
    if (!checkedWithGet(probes))
        return probes.isEmpty() && m_method == ProbeMethod::Get ? nextProbes() : probes;
    const qint64 farthest = lastPresent + kMissingRunEnd;
    if (!m_present.contains(farthest)) {
        if (m_inFlight.empty())
            ask(probes, farthest, m_method);
        return probes;
    }
    for (qint64 index = farthest - 1; index > lastPresent; --index) {
        if (qsizetype(m_inFlight.size()) >= kMaxInFlight)
            break;
        if (!m_present.contains(index) && !m_inFlight.contains(index))
            ask(probes, index, m_method);
    }
    return probes;
}

void EndSearch::answer(const Probe &probe, ProbeAnswer answer)
{
    if (m_done)
        return;
    if (probe.method == ProbeMethod::Head && probe.index == 0 && m_firstHeadOut) {
        m_firstHeadOut = false;
        m_firstHead = answer;
        decideMethod();
        checkConfirmed();
        return;
    }
    if (m_getOut.erase(probe.index) > 0 && probe.method == ProbeMethod::Get && m_method == ProbeMethod::Head) {
        m_byGet[probe.index] = answer == ProbeAnswer::Present;
        return;
    }
    m_inFlight.erase(probe.index);
    // HEAD's answers still out once GET has replaced it are not taken.
    if (probe.method == ProbeMethod::Head && m_method == ProbeMethod::Get && answer != ProbeAnswer::Refused)
        return;
    if (answer == ProbeAnswer::Refused) {
        // Asked again, with GET, by the next nextProbes.
        m_method = ProbeMethod::Get;
        return;
    }
    const bool present = answer == ProbeAnswer::Present;
    m_present[probe.index] = present;
    if (present && (!m_lastPresent || probe.index > *m_lastPresent))
        m_lastPresent = probe.index;
    if (probe.index == 0 && !present) {
        m_done = true;
        return;
    }
    decideMethod();
    checkConfirmed();
}

bool EndSearch::checkedWithGet(QList<Probe> &probes)
{
    if (m_method != ProbeMethod::Head)
        return true;
    const qint64 last = *m_lastPresent;
    bool asked = true;
    for (const qint64 index : {last, last + 1}) {
        if (index == 0 || m_byGet.contains(index))
            continue;
        asked = false;
        if (!m_getOut.contains(index)) {
            probes.append({index, ProbeMethod::Get});
            m_getOut.insert(index);
            ++m_sent;
        }
    }
    if (!asked)
        return false;
    if ((last == 0 || m_byGet.at(last)) && !m_byGet.at(last + 1))
        return true;
    startOverWithGet();
    return false;
}

// HEAD told a different story than GET: what it said is forgotten, and the
// search goes on from the first address with GET alone.
void EndSearch::startOverWithGet()
{
    m_method = ProbeMethod::Get;
    const bool first = m_present.at(0);
    m_present.clear();
    m_present[0] = first;
    m_lastPresent = 0;
    m_byGet.clear();
}

// The first address's two answers tell whether HEAD can be trusted here.
void EndSearch::decideMethod()
{
    if (m_methodDecided || !m_firstHead || !m_present.contains(0))
        return;
    const ProbeAnswer byGet = m_present.at(0) ? ProbeAnswer::Present : ProbeAnswer::Missing;
    if (*m_firstHead != byGet)
        m_method = ProbeMethod::Get;
    m_methodDecided = true;
}

void EndSearch::checkConfirmed()
{
    if (!m_methodDecided || !m_lastPresent)
        return;
    const qint64 last = *m_lastPresent;
    const auto byGet = [this](qint64 index, bool present) {
        return m_byGet.contains(index) && m_byGet.at(index) == present;
    };
    if (m_method == ProbeMethod::Head && !((last == 0 || byGet(last, true)) && byGet(last + 1, false)))
        return;
    for (qint64 index = *m_lastPresent + 1; index <= *m_lastPresent + kMissingRunEnd; ++index) {
        const auto known = m_present.find(index);
        if (known == m_present.end() || known->second)
            return;
    }
    m_done = true;
}

std::optional<qint64> EndSearch::firstMissingAfterLastPresent() const
{
    // Every answer past the last present one is a missing one.
    const auto known = m_present.upper_bound(*m_lastPresent);
    return known == m_present.end() ? std::nullopt : std::optional(known->first);
}

std::optional<qint64> EndSearch::end() const
{
    if (!m_done)
        return std::nullopt;
    return m_lastPresent;
}
