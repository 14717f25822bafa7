#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <QStringList>

// One running program per user profile. The first process holds a lock file and listens on a
// local socket; a later process finds the lock taken, hands the first one the files named on
// its command line with a restore request, and is told to end.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(QObject* parent = nullptr);
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when this is the first instance, which from now on receives restore requests.
    // False when another instance runs; it has been asked to open files (made absolute here,
    // as the running one has a working folder of its own) and to come forward.
    bool acquire(const QStringList& files = {});

    // Per user and per configuration folder, so separate profiles run side by side.
    static QString defaultName();

  Q_SIGNALS:
    void restoreRequested();
    // Files a later start was given; sent before its restoreRequested.
    void filesOpenRequested(const QStringList& files);

  private:
    void onNewConnection();
    bool sendRestoreRequest(const QStringList& files);

    QString m_name;
    QLockFile m_lock;
    QLocalServer m_server;
};
