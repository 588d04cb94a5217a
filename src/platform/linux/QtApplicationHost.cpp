#include "platform/linux/QtApplicationHost.h"

#include <QApplication>
#include <QWidget>

namespace corvane {

void QtApplicationHost::activate() {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && !(window->windowFlags() & Qt::WindowDoesNotAcceptFocus)) {
            window->raise();
            window->activateWindow();
        }
    }
}

void QtApplicationHost::beep() {
    QApplication::beep();
}

void QtApplicationHost::terminate() {
    QCoreApplication::quit();
}

} // namespace corvane
