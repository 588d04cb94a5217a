#pragma once

#include "settings/SettingsPage.h"

namespace corvane {

// The "About" page: the application's icon, name, maker, version and what it is for.
class AboutView : public SettingsPage {
    Q_OBJECT
public:
    explicit AboutView(QWidget* parent = nullptr);

    // "Version 1.2.0 (1)": the application's version ("1.0" when unset) and build ("1" when unset).
    static QString versionLine();
};

} // namespace corvane
