#pragma once

#include "platform/Screens.h"

#include <QObject>

#include <functional>
#include <optional>

namespace corvane {

class AppState;

// The desktops and the current one.
class SpacesService : public QObject {
    Q_OBJECT
public:
    using ScreenProvider = std::function<std::optional<ScreenInfo>()>;
    explicit SpacesService(AppState& state) : m_state(state) {}

    // The screen whose desktops are listed; replaces the previous provider.
    void setScreenProvider(ScreenProvider provider) { m_screenProvider = std::move(provider); }
    void start() { m_started = true; }
    bool isStarted() const { return m_started; }
    const ScreenProvider& screenProvider() const { return m_screenProvider; }

private:
    [[maybe_unused]] AppState& m_state;
    ScreenProvider m_screenProvider;
    bool m_started = false;
};

} // namespace corvane
