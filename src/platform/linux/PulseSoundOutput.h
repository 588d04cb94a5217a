#pragma once

#include "platform/SoundOutput.h"

#include <QObject>

#include <memory>

namespace corvane {

// The sound server's default output through PulseAudio's client library (PipeWire serves the
// same protocol). It never starts a server of its own: it connects to the one `PULSE_SERVER` or
// the session names, and while none answers it tries again every few seconds.
class PulseSoundOutput final : public QObject, public SoundOutput {
    Q_OBJECT
public:
    PulseSoundOutput();
    ~PulseSoundOutput() override;

    bool isAvailable() override;
    std::optional<float> volume() override;
    std::optional<bool> isMuted() override;
    bool setMuted(bool muted) override;
    bool setVolume(float volume) override;
    void onAvailabilityChanged(std::function<void(bool)> handler) override;

    struct Impl;

private:
    void connectToServer();
    void reachabilityChanged(bool available);

    std::unique_ptr<Impl> d;
    std::function<void(bool)> m_handler;
};

} // namespace corvane
