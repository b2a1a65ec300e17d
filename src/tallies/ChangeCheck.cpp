#include "tallies/ChangeCheck.h"

#include "tallies/OrderStatistics.h"
#include "tallies/TimeOfDay.h"

#include <algorithm>

namespace {

// The switches of the ladder the "needed" text names: 6 of 6, 9 of 10, 12 of 15...
int nextRung(int votes)
{
    int rung = 6;
    while (rung <= votes)
        rung = rung < 10 ? 10 : rung + 5;
    return rung;
}

QString neededText(int votes)
{
    QStringList needed;
    if (votes >= 6)
        needed << QStringLiteral("%1 of %2").arg(OrderStatistics::signTestNeeded(votes)).arg(votes);
    const int rung = nextRung(std::max(votes, 5));
    needed << QStringLiteral("%1 of %2").arg(OrderStatistics::signTestNeeded(rung)).arg(rung);
    if (votes < 6)
        needed << QStringLiteral("%1 of %2")
                      .arg(OrderStatistics::signTestNeeded(nextRung(rung)))
                      .arg(nextRung(rung));
    return needed.mid(0, 2).join(QStringLiteral(" or "));
}

} // namespace

ChangeCheck::ChangeCheck(QObject* parent)
    : QObject(parent)
    , m_announcement(*this, [this] { announce(); })
{
}

void ChangeCheck::add(const DecodeFields& fields)
{
    if (fields.Callsign.isEmpty() || !fields.IsNew || fields.LowConfidence || fields.OffAir)
        return;
    m_open.add(fields.Callsign, fields.TimeMs, fields.Snr);
    (side() == 0 ? m_heardOnA : m_heardOnB).insert(fields.Callsign);
    m_announcement.ask();
}

ChangeCheck::Medians ChangeCheck::openMedians() const
{
    Medians medians;
    std::vector<double> snrs;
    for (auto station = m_open.stations().cbegin(); station != m_open.stations().cend();
         ++station) {
        snrs.clear();
        for (const auto& sample : *station)
            snrs.push_back(sample.value);
        medians.insert(station.key(), OrderStatistics::median(snrs));
    }
    return medians;
}

void ChangeCheck::addDifferences(const Medians& earlier, const Medians& later, bool laterIsB,
                                 QHash<QString, std::vector<double>>& differences)
{
    for (auto station = later.cbegin(); station != later.cend(); ++station) {
        const auto before = earlier.constFind(station.key());
        if (before == earlier.cend())
            continue;
        const double onB = laterIsB ? *station : *before;
        const double onA = laterIsB ? *before : *station;
        // Near the floor a value tells only that it is lower: counted at the floor itself.
        if (onB <= CensoredDb && onA <= CensoredDb)
            continue;
        differences[station.key()].push_back(std::max<double>(onB, CensoredDb) -
                                             std::max<double>(onA, CensoredDb));
    }
}

void ChangeCheck::switchBlock()
{
    Medians closing = openMedians();
    if (!m_closed.empty())
        addDifferences(m_closed.back(), closing, side() == 1, m_closedDifferences);
    m_closed.push_back(std::move(closing));
    m_open.clear();
    m_announcement.ask();
}

QString ChangeCheck::line() const
{
    static const QString press = QStringLiteral("Change: press Change color when you switch, and "
                                                "switch back and forth a few times");
    if (m_closed.empty())
        return press;
    QHash<QString, std::vector<double>> differences = m_closedDifferences;
    addDifferences(m_closed.back(), openMedians(), side() == 1, differences);
    std::vector<double> votes;
    for (std::vector<double>& station : differences)
        votes.push_back(OrderStatistics::median(station));
    const int stronger =
        static_cast<int>(std::count_if(votes.begin(), votes.end(), [](double d) { return d > 0; }));
    const int weaker =
        static_cast<int>(std::count_if(votes.begin(), votes.end(), [](double d) { return d < 0; }));
    const int equal = static_cast<int>(votes.size()) - stronger - weaker;
    const int decided = stronger + weaker;
    const bool strongerLeads = stronger >= weaker;
    const QString lead = strongerLeads ? QStringLiteral("stronger") : QStringLiteral("weaker");
    const int leading = strongerLeads ? stronger : weaker;
    QString text;
    if (decided == 0 || OrderStatistics::signTestP(leading, decided) >= 0.05) {
        text = QStringLiteral("B vs A: not conclusive yet: %1 of %2 %3 on B (%4 needed)")
                   .arg(leading)
                   .arg(decided)
                   .arg(lead, neededText(decided));
    } else {
        std::sort(votes.begin(), votes.end());
        std::vector<double> copy = votes;
        const int n = static_cast<int>(votes.size());
        const int k = std::max(1, OrderStatistics::intervalRank(n));
        int onlyA = 0;
        for (const QString& call : m_heardOnA)
            onlyA += m_heardOnB.contains(call) ? 0 : 1;
        int onlyB = 0;
        for (const QString& call : m_heardOnB)
            onlyB += m_heardOnA.contains(call) ? 0 : 1;
        text = QStringLiteral("B vs A: %1 of %2 %3 on B, %4 %5%6; median %7 dB (95 % between %8 "
                              "and %9); only on B: %10, only on A: %11")
                   .arg(leading)
                   .arg(decided)
                   .arg(lead)
                   .arg(decided - leading)
                   .arg(strongerLeads ? QStringLiteral("weaker") : QStringLiteral("stronger"))
                   .arg(equal > 0 ? QStringLiteral(", %1 equal").arg(equal) : QString())
                   .arg(OrderStatistics::signedWhole(OrderStatistics::median(copy)))
                   .arg(OrderStatistics::signedWhole(votes[static_cast<std::size_t>(k - 1)]))
                   .arg(OrderStatistics::signedWhole(votes[static_cast<std::size_t>(n - k)]))
                   .arg(onlyB)
                   .arg(onlyA);
    }
    if (m_closed.size() == 1)
        text += QStringLiteral(" One switch only: a band opening or closing looks the same.");
    return text;
}

void ChangeCheck::announce()
{
    emit lineChanged(line());
}
