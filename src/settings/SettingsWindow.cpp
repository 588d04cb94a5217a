#include "settings/SettingsWindow.h"

#include "settings/SettingsView.h"

#include <QCloseEvent>
#include <QVBoxLayout>

namespace corvane {

SettingsWindow::SettingsWindow(const SettingsServices& services, SettingsNavigation& nav, QWidget* parent)
    : QWidget(parent, Qt::Window) {
    setObjectName(QStringLiteral("settingsWindow"));
    setWindowTitle(QStringLiteral("Corvane Settings"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The window's size is the user's; no page's content may change it.
    layout->setSizeConstraint(QLayout::SetNoConstraint);
    m_view = new SettingsView(services, nav);
    layout->addWidget(m_view);
    setMinimumSize(minimumContentSize);
    resize(contentSize);
}

void SettingsWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT willClose();
}

} // namespace corvane
