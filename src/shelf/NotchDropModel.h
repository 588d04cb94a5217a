#pragma once

#include <QIcon>
#include <QList>
#include <QObject>

#include <optional>

namespace corvane {

// The two halves of the drop card.
enum class DropZone { airdrop, tray };

// What the drop card under the notch shows. Written by its controller only; writing a value equal
// to the current one announces nothing.
class NotchDropModel : public QObject {
    Q_OBJECT
public:
    struct Phase {
        enum class Kind { added, hidden, waiting, targeted };
        Kind kind = Kind::hidden;
        // For `added`: how many files were delivered, and where.
        int count = 0;
        DropZone zone = DropZone::tray;

        static Phase added(int count, DropZone zone) { return {Kind::added, count, zone}; }
        static Phase hidden() { return {}; }
        static Phase waiting() { return {Kind::waiting}; }
        static Phase targeted() { return {Kind::targeted}; }
        bool is(Kind other) const { return kind == other; }
        bool operator==(const Phase& other) const {
            return kind == other.kind &&
                   (kind != Kind::added || (count == other.count && zone == other.zone));
        }
    };

    const Phase& phase() const { return m_phase; }
    std::optional<DropZone> zone() const { return m_zone; }
    bool showAirDrop() const { return m_showAirDrop; }
    const QList<QIcon>& icons() const { return m_icons; }

    void setPhase(const Phase& value) { assign(m_phase, value); }
    void setZone(std::optional<DropZone> value) { assign(m_zone, value); }
    void setShowAirDrop(bool value) { assign(m_showAirDrop, value); }
    // Icons are not comparable: every assignment announces.
    void setIcons(QList<QIcon> value) {
        m_icons = std::move(value);
        Q_EMIT changed();
    }

Q_SIGNALS:
    void changed();

private:
    template <typename T> void assign(T& field, const T& value) {
        if (field == value)
            return;
        field = value;
        Q_EMIT changed();
    }

    Phase m_phase;
    std::optional<DropZone> m_zone;
    bool m_showAirDrop = true;
    QList<QIcon> m_icons;
};

} // namespace corvane
