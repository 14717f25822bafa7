#pragma once

#include <QMap>
#include <QProcess>
#include <QString>
#include <QStringList>

// A PulseAudio server of a test's own, with a null sink, on a socket in a folder the test gives
// it; other programs and the shared server of the machine are left alone. A process that points
// PULSE_SERVER at Address() before Qt Multimedia starts plays through it, and the test can stop
// and start it again.
class PrivateAudioServer {
  public:
    static constexpr char kSinkDescription[] = "QuillsongPrivateOutput";

    explicit PrivateAudioServer(const QString& folder);
    ~PrivateAudioServer();
    PrivateAudioServer(const PrivateAudioServer&) = delete;
    PrivateAudioServer& operator=(const PrivateAudioServer&) = delete;

    // Whether the server program is installed.
    static bool Installed();
    // Starts the server and waits until it takes connections; false with the reason otherwise.
    bool Start(QString* error);
    // Ends the server and waits for it.
    void Stop();
    // The value for PULSE_SERVER.
    QString Address() const;

    // Another null sink beside the first, and its removal; false with the reason otherwise.
    bool AddSink(const QString& name, const QString& description, QString* error);
    bool RemoveSink(const QString& name, QString* error);
    // The names of the sinks that play a stream now (one that is not corked).
    QStringList PlayingSinks(QString* error) const;

  private:
    QString SocketPath() const;
    // Runs pactl against this server; its output, or false with the reason.
    bool Control(const QStringList& arguments, QString* output) const;

    QString folder_;
    QProcess process_;
    QMap<QString, QString> modules_;  // sink name -> module index of the sinks added
};
