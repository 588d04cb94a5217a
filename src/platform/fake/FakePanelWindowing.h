#pragma once

#include "platform/PanelWindowing.h"

#include <QList>
#include <QPointer>
#include <QWindow>

namespace corvane {

// Remembers which panel windows were put on every desktop, once per request.
class FakePanelWindowing final : public PanelWindowing {
public:
    void showOnAllDesktops(QWindow& window) override { requests.append(QPointer<QWindow>(&window)); }

    quint64 activeWindow() const override { return active; }
    void activateWindow(quint64 window) override {
        activations.append(window);
        active = window;
    }

    int requestCount(const QWindow* window) const;

    quint64 active = 0;
    QList<quint64> activations;

    QList<QPointer<QWindow>> requests;
};

} // namespace corvane
