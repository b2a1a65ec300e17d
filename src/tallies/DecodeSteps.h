#pragma once

#include "intake/UDPMessageProcessing.h"
#include "tallies/AlertRule.h"
#include "tallies/ReplayFilter.h"

#include <QObject>

class CallsignTally;
class ChangeCheck;
class ClockCheck;
class DecodeLog;
class TrackedHistory;

// What every datagram goes through: the intake, the replay filter, then the four per-decode
// steps in their fixed order on the tallies this object owns, and the two verdicts' counts. It is
// the one error boundary of a datagram: whatever fails ends only that datagram, silently, and keeps
// what was already done.
class DecodeSteps : public QObject {
    Q_OBJECT
public:
    // callsignColor is the background of each logged callsign.
    DecodeSteps(const QColor& callsignColor, QObject* parent);

    void process(const QByteArray& datagram);
    // The callsign picked or typed, for the alert.
    void track(const QString& callsign) { m_alerts.track(callsign); }

    CallsignTally& tally() { return *m_tally; }
    const CallsignTally& tally() const { return *m_tally; }
    DecodeLog& log() { return *m_log; }
    const DecodeLog& log() const { return *m_log; }
    TrackedHistory& history() { return *m_history; }
    const TrackedHistory& history() const { return *m_history; }
    ClockCheck& clock() { return *m_clock; }
    ChangeCheck& change() { return *m_change; }
    const ChangeCheck& change() const { return *m_change; }

signals:
    // A Decode report's sender was read, whether or not the rest of the report could be; said
    // after the boundary, so that nothing it reaches runs inside it.
    void senderRead(const QString& id);
    // A decode of the tracked callsign worth an alert; said after the boundary too.
    void trackedHeard(const DecodeFields& fields);

private:
    UDPMessageProcessing m_intake;
    ReplayFilter m_replays;
    AlertRule m_alerts;
    CallsignTally* m_tally;
    DecodeLog* m_log;
    TrackedHistory* m_history;
    ClockCheck* m_clock;
    ChangeCheck* m_change;
};
