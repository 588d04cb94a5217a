#pragma once

#include <algorithm>

namespace corvane {

// A number that eases out towards its target over a fixed time, starting again from where it
// is whenever the target changes.
class EasedValue {
public:
    EasedValue(double duration, double value = 0) : m_duration(duration), m_from(value), m_to(value) {}

    double value() const {
        const double t = m_duration > 0 ? std::clamp(m_elapsed / m_duration, 0.0, 1.0) : 1.0;
        const double eased = 1 - (1 - t) * (1 - t);
        return m_from + (m_to - m_from) * eased;
    }
    double target() const { return m_to; }
    bool isSettled() const { return m_elapsed >= m_duration || m_from == m_to; }

    void setTarget(double target) {
        if (target == m_to)
            return;
        m_from = value();
        m_to = target;
        m_elapsed = 0;
    }
    void jumpTo(double value) {
        m_from = m_to = value;
        m_elapsed = m_duration;
    }
    void advance(double seconds) { m_elapsed = std::min(m_elapsed + std::max(seconds, 0.0), m_duration); }

private:
    double m_duration;
    double m_from;
    double m_to;
    double m_elapsed = 0;
};

} // namespace corvane
