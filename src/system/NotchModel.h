#pragma once

#include <QObject>

namespace corvane {

// What the heads-up display and the keep-awake pill show. Writing a value equal to the current
// one announces nothing.
class NotchModel : public QObject {
    Q_OBJECT
public:
    enum class Kind { volume, brightness };

    Kind kind() const { return m_kind; }
    float level() const { return m_level; }
    bool muted() const { return m_muted; }
    bool visible() const { return m_visible; }
    double awakeProgress() const { return m_awakeProgress; }
    bool awakeIndefinite() const { return m_awakeIndefinite; }

    void setKind(Kind value) { assign(m_kind, value); }
    void setLevel(float value) { assign(m_level, value); }
    void setMuted(bool value) { assign(m_muted, value); }
    void setVisible(bool value) { assign(m_visible, value); }
    void setAwakeProgress(double value) { assign(m_awakeProgress, value); }
    void setAwakeIndefinite(bool value) { assign(m_awakeIndefinite, value); }

Q_SIGNALS:
    void changed();

private:
    template <typename T> void assign(T& field, T value) {
        if (field == value)
            return;
        field = value;
        Q_EMIT changed();
    }

    Kind m_kind = Kind::volume;
    float m_level = 0;
    bool m_muted = false;
    bool m_visible = false;
    double m_awakeProgress = 1.0;
    bool m_awakeIndefinite = true;
};

} // namespace corvane
