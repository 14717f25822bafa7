#pragma once

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>

// One running program per user profile. The first process holds a lock file and listens on a
// local socket; a later process finds the lock taken, sends the first one a restore request
// and is told to end.
class SingleInstance : public QObject {
    Q_OBJECT
  public:
    explicit SingleInstance(QObject* parent = nullptr);
    explicit SingleInstance(const QString& name, QObject* parent = nullptr);

    // True when this is the first instance, which from now on receives restore requests.
    // False when another instance runs; it has been asked to come forward.
    bool acquire();

    // Per user and per configuration folder, so separate profiles run side by side.
    static QString defaultName();

  Q_SIGNALS:
    void restoreRequested();

  private:
    void onNewConnection();
    bool sendRestoreRequest();

    QString m_name;
    QLockFile m_lock;
    QLocalServer m_server;
};
