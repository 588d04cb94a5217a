#pragma once

namespace corvane {

// A number that follows its target like a damped spring: it keeps its speed when the target
// moves, and with a damping fraction below 1 it overshoots a little before it settles. The
// response is the period of the spring without damping, in seconds.
class SpringValue {
public:
    SpringValue(double response, double dampingFraction, double precision, double value = 0);

    double value() const { return m_value; }
    double target() const { return m_target; }
    bool isSettled() const { return m_value == m_target && m_velocity == 0; }

    void setTarget(double target) { m_target = target; }
    // At rest at `value`, which becomes the target too.
    void jumpTo(double value);
    // Lets `seconds` pass; lands exactly on the target once within the precision and nearly still.
    void advance(double seconds);

private:
    double m_stiffness;
    double m_damping;
    double m_precision;
    double m_value;
    double m_target;
    double m_velocity = 0;
};

} // namespace corvane
