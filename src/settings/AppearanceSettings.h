#pragma once

#include "settings/SettingsPage.h"

namespace corvane {

class Scheduler;
class Settings;
class SidebarMiniPreview;

// The "Sidebar" page: how the strip looks and what it shows, with a drawn miniature of the strip
// that follows the thumbnail size, titles and accent as they change. Every control writes its key
// at once; a change made elsewhere shows here at once.
class AppearanceSettings : public SettingsPage {
    Q_OBJECT
public:
    AppearanceSettings(Settings& settings, Scheduler& scheduler, QWidget* parent = nullptr);

    SidebarMiniPreview& preview() const { return *m_preview; }

private:
    QWidget* makeLook(Scheduler& scheduler);

    Settings& m_settings;
    SidebarMiniPreview* m_preview = nullptr;
};

} // namespace corvane
