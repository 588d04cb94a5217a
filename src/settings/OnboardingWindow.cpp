#include "settings/OnboardingWindow.h"

#include "settings/OnboardingView.h"

#include <QCloseEvent>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

OnboardingWindow::OnboardingWindow(const SettingsServices& services, std::function<void()> onDone,
                                   QWidget* parent)
    : QWidget(parent,
              Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint | Qt::WindowCloseButtonHint) {
    setObjectName(QStringLiteral("onboardingWindow"));
    setWindowTitle(QStringLiteral("Welcome to Corvane"));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_view = new OnboardingView(services, std::move(onDone));
    layout->addWidget(m_view);
    setFixedSize(OnboardingView::side, OnboardingView::side);
}

void OnboardingWindow::keyPressEvent(QKeyEvent* event) {
    // Plain windows have no default button of their own; Return and Enter press the footer's.
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        m_view->doneButton().click();
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void OnboardingWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    Q_EMIT willClose();
}

} // namespace corvane
