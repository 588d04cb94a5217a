#pragma once

#include "platform/PanelWindowing.h"

#include <QObject>

namespace corvane {

// Panels on every desktop through the EWMH hints, on Qt's own X connection so that the hints
// reach the server before Qt maps the window. Does nothing where Qt does not run on X11.
class X11PanelWindowing final : public QObject, public PanelWindowing {
public:
    explicit X11PanelWindowing(QObject* parent = nullptr) : QObject(parent) {}

    void showOnAllDesktops(QWindow& window) override;
    quint64 activeWindow() const override;
    void activateWindow(quint64 window) override;
};

} // namespace corvane
