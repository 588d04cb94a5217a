#pragma once

#include "platform/Screens.h"

#include <QHash>

#include <optional>

class QScreen;

namespace corvane {

// The screens as Qt sees them, with each output's RandR number and an EDID-derived UUID where
// the X server can tell them. The RandR facts are read once per change of the screen set.
class QtScreens final : public Screens {
    Q_OBJECT
public:
    QtScreens();
    ~QtScreens() override;

    std::vector<ScreenInfo> screens() const override;
    std::optional<ScreenInfo> mainScreen() const override;
    QPointF pointerLocation() const override;

private:
    struct OutputFacts {
        std::optional<uint32_t> displayNumber;
        std::optional<QString> uuid;
    };

    void watchScreen(QScreen* screen);
    void screensDidChange();
    ScreenInfo infoFor(QScreen* screen) const;
    const QHash<QString, OutputFacts>& outputFacts() const;

    // Keyed by output name; filled lazily and dropped when the screens change.
    mutable std::optional<QHash<QString, OutputFacts>> m_outputFacts;
};

} // namespace corvane
