#pragma once

#include <QObject>

class QSocketNotifier;

namespace velkrin {

// Turns SIGTERM, SIGINT, SIGHUP and SIGQUIT (a session logging out, Ctrl+C
// in a terminal, a terminal or remote session closing, Ctrl+\) into a signal
// on the event loop, so the program can close its window and end as if the
// user had closed it; SIGPIPE is ignored. One instance per process.
class TerminationRequest : public QObject {
    Q_OBJECT
public:
    explicit TerminationRequest(QObject *parent = nullptr);
    ~TerminationRequest() override;

    TerminationRequest(const TerminationRequest &) = delete;
    TerminationRequest &operator=(const TerminationRequest &) = delete;

signals:
    void requested();

private:
    void drain();

    QSocketNotifier *m_notifier = nullptr;
};

} // namespace velkrin
