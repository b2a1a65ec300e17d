#include "tallies/DecodeSteps.h"

#include "tallies/CallsignTally.h"
#include "tallies/ChangeCheck.h"
#include "tallies/ClockCheck.h"
#include "tallies/DecodeLog.h"
#include "tallies/TrackedHistory.h"

#include <exception>

DecodeSteps::DecodeSteps(const QColor& callsignColor, QObject* parent)
    : QObject(parent)
    , m_tally(new CallsignTally(this))
    , m_log(new DecodeLog(callsignColor, this))
    , m_history(new TrackedHistory(this))
    , m_clock(new ClockCheck(this))
    , m_change(new ChangeCheck(this))
{
}

void DecodeSteps::process(const QByteArray& datagram)
{
    std::optional<QString> sender;
    std::optional<DecodeFields> alert;
    try {
        sender = m_intake.ProcessDatagram(datagram);
        if (sender) {
            const DecodeFields fields = m_intake.ProcessDecode();
            if (m_replays.admit(fields)) {
                m_tally->TallyDecode(fields);
                m_history->TrackDecode(fields);
                m_log->LogDecode(fields);
                m_history->ScrollTrackedHistory();
                m_clock->add(fields);
                m_change->add(fields);
                if (m_alerts.alerts(fields))
                    alert = fields;
            }
        }
    } catch (const std::exception&) {
    }
    if (sender)
        emit senderRead(*sender);
    if (alert)
        emit trackedHeard(*alert);
}
