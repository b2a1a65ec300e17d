#pragma once

#include <QObject>

#include <memory>

// Turns SIGTERM, SIGINT and SIGHUP into a signal on the event loop, so the program closes its
// window the normal way (and saves its settings) when the session or a closed terminal ends it;
// a signal the program inherited as ignored stays ignored. The handlers are the
// process's only while the object lives: the ones before it come back with its end. Where the
// platform has no such signals it does nothing.
class TerminationSignals : public QObject {
    Q_OBJECT
public:
    explicit TerminationSignals(QObject* parent);
    ~TerminationSignals() override;

signals:
    void terminationRequested();

private:
    struct Previous;
    std::unique_ptr<Previous> m_previous;
};
