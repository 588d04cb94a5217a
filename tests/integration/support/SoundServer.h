#pragma once

#include <QProcess>
#include <QString>
#include <QStringList>
#include <QTemporaryDir>

namespace corvane::testing {

// A private PulseAudio server with one silent output, for the test that makes it. It never
// touches a developer's own sound server: `PULSE_SERVER` names this one while it runs, and is
// cleared again when it goes.
class SoundServer {
public:
    // Started at once, unless `startNow` is false (then `start` starts it).
    explicit SoundServer(bool startNow = true);
    ~SoundServer();
    SoundServer(const SoundServer&) = delete;
    SoundServer& operator=(const SoundServer&) = delete;

    bool isRunning() const { return m_running; }
    // Kills the server outright, as a crash would; `start` brings it back at the same address.
    void kill();
    // Starts the server and waits until it answers; false when it does not.
    bool start();
    // Runs pactl against this server and gives what it printed; empty on failure.
    QString pactl(const QStringList& arguments) const;
    void setVolumePercent(int percent) const;
    // The default output's volume in percent, as pactl reports it; -1 when it cannot be read.
    int volumePercent() const;
    bool isMuted() const;
    // Where it listens (or will).
    QString socketPath() const;

private:
    QTemporaryDir m_home;
    QProcess m_server;
    QString m_address;
    bool m_running = false;
};

} // namespace corvane::testing
