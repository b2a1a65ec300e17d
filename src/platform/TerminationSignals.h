#pragma once

#include <QObject>

// Turns SIGTERM and SIGINT into a signal on the event loop, so the program closes its window
// the normal way (and saves its settings) when the session ends it. Where the platform has no
// such signals it does nothing.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent);

signals:
    void terminationRequested();
};
