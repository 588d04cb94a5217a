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
    m_terminating = true;
    QCoreApplication::quit();
}

bool QtApplicationHost::isTerminating() const {
    return m_terminating || QCoreApplication::closingDown();
}

} // namespace corvane
