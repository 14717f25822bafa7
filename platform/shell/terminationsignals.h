#pragma once

#include <QObject>
#include <QSocketNotifier>
#include <memory>

// Turns SIGTERM, SIGINT and SIGHUP (the end of a desktop session, a service manager, Ctrl+C)
// into a Qt signal delivered on the event loop, so the program can end as it does through its
// exit command.
class TerminationSignals : public QObject {
    Q_OBJECT
  public:
    explicit TerminationSignals(QObject* parent = nullptr);
    ~TerminationSignals() override;

  Q_SIGNALS:
    void terminationRequested(int signalNumber);

  private:
    void onReadable();
    std::unique_ptr<QSocketNotifier> m_notifier;
};
