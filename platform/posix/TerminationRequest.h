#pragma once

#include <QObject>

class QSocketNotifier;

namespace velkrin {

// Turns SIGTERM and SIGINT (a session logging out, Ctrl+C in a terminal)
// into a signal on the event loop, so the program can close its window and
// end as if the user had closed it. One instance per process.
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
