#pragma once

#include "platform/Screens.h"

#include <QRectF>

#include <functional>
#include <optional>

namespace corvane {

class Settings;

// The rectangle of a screen that windows are placed in: its visible frame, less the room a panel
// at the screen's edge keeps for itself there. The strip reports its room; snapping, the snap
// wheel and workspaces read the result, without knowing the strip.
class WorkArea {
public:
    // The room a panel keeps: how wide, and on which screen; none while it has no screen.
    struct Reservation {
        double width = 0;
        std::optional<ScreenInfo> screen;
    };

    explicit WorkArea(const Settings& settings) : m_settings(settings) {}

    // Where the room is read from, when a frame is asked for (it changes with preferences and
    // screens); an empty function reserves nothing.
    void setReservation(std::function<Reservation()> reservation) { m_reservation = std::move(reservation); }

    QRectF usableFrame(const ScreenInfo& screen) const;

private:
    const Settings& m_settings;
    std::function<Reservation()> m_reservation;
};

} // namespace corvane
