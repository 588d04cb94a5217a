#pragma once

#include "platform/SoundOutput.h"

#include <QObject>

#include <chrono>
#include <memory>

class QFileSystemWatcher;
class QTimer;

namespace corvane {

// The sound server's default output through PulseAudio's client library (PipeWire serves the
// same protocol). It never starts a server of its own: it connects to the one `PULSE_SERVER` or
// the session names. While none is there it waits for the server's socket to appear, and tries
// again only then; it tries every few seconds only where a socket is there and refuses, or where
// the server is not reached through a local socket.
class PulseSoundOutput final : public QObject, public SoundOutput {
    Q_OBJECT
public:
    // `retryAfter`: how long after a failure the server is asked again.
    explicit PulseSoundOutput(std::chrono::milliseconds retryAfter = std::chrono::seconds(3));
    ~PulseSoundOutput() override;

    bool isAvailable() override;
    std::optional<float> volume() override;
    std::optional<bool> isMuted() override;
    bool setMuted(bool muted) override;
    bool setVolume(float volume) override;
    void onAvailabilityChanged(std::function<void(bool)> handler) override;

    // How often a connection was tried, for tests.
    int connectionAttempts() const { return m_attempts; }

    struct Impl;

private:
    void connectToServer();
    // Tries again later; one try at a time, however many failures report themselves.
    void retryLater();
    // Tries again once the server's socket is there; false when that cannot be watched for.
    bool awaitSocket();
    void socketFolderChanged();
    void reachabilityChanged(bool available);

    std::unique_ptr<Impl> d;
    std::function<void(bool)> m_handler;
    QTimer* m_retry = nullptr;
    // The server's local socket, where it has one; watched while it is missing.
    QString m_socket;
    QFileSystemWatcher* m_socketWatch = nullptr;
    int m_attempts = 0;
};

} // namespace corvane
