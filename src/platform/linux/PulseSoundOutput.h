#pragma once

#include "platform/SoundOutput.h"

#include <QObject>

#include <chrono>
#include <memory>

class QTimer;

namespace corvane {

// The sound server's default output through PulseAudio's client library (PipeWire serves the
// same protocol). It never starts a server of its own: it connects to the one `PULSE_SERVER` or
// the session names, and while none answers it tries again every few seconds.
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
    void reachabilityChanged(bool available);

    std::unique_ptr<Impl> d;
    std::function<void(bool)> m_handler;
    QTimer* m_retry = nullptr;
    int m_attempts = 0;
};

} // namespace corvane
