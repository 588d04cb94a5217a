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

    int requestCount(const QWindow* window) const;

    QList<QPointer<QWindow>> requests;
};

} // namespace corvane
