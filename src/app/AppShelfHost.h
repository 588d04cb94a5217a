#pragma once

#include "shelf/ShelfHost.h"

namespace corvane {

class AppState;

// The file shelf's requests of the strip and the settings window.
class AppShelfHost final : public ShelfHost {
public:
    explicit AppShelfHost(AppState& state) : m_state(state) {}

    void hideStripHoverPreview() override;
    void openFilesSettings() override;
    void showFailure(const QString& message) override;

private:
    AppState& m_state;
};

} // namespace corvane
