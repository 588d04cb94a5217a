#include "settings/PermissionHelpWindow.h"

#include "core/PermissionManager.h"
#include "settings/PermissionTitles.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

constexpr int kMargin = 20;

} // namespace

PermissionHelpWindow::PermissionHelpWindow(PermissionManager& permissions, bool screenRecording,
                                           QWidget* parent)
    : QWidget(parent, Qt::Dialog), m_permissions(permissions), m_screenRecording(screenRecording) {
    setObjectName(QStringLiteral("permissionHelp"));
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(screenRecording ? compositePermissionTitle() : windowManagerPermissionTitle());
    setFixedWidth(420);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(kMargin, 18, kMargin, 16);
    layout->setSpacing(12);
    m_explanation = new QLabel;
    m_explanation->setObjectName(QStringLiteral("explanation"));
    m_explanation->setTextFormat(Qt::PlainText);
    m_explanation->setWordWrap(true);
    layout->addWidget(m_explanation);
    showExplanation(permissions.explanation(screenRecording));
    m_status = new QLabel;
    m_status->setObjectName(QStringLiteral("status"));
    m_status->setWordWrap(true);
    m_status->hide();
    layout->addWidget(m_status);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    auto* close = new QPushButton(QStringLiteral("Close"));
    close->setAutoDefault(false);
    connect(close, &QPushButton::clicked, this, &QWidget::close);
    m_checkAgain = new QPushButton(QStringLiteral("Check Again"));
    m_checkAgain->setObjectName(QStringLiteral("checkAgain"));
    m_checkAgain->setDefault(true);
    connect(m_checkAgain, &QPushButton::clicked, this, [this] {
        m_waiting = true;
        m_status->setText(QStringLiteral("Checking\u2026"));
        m_status->show();
        m_permissions.pollTick();
    });
    buttons->addWidget(close);
    buttons->addWidget(m_checkAgain);
    layout->addLayout(buttons);

    connect(&permissions, &PermissionManager::checked, this, &PermissionHelpWindow::checked);
}

bool PermissionHelpWindow::granted() const {
    return m_screenRecording ? m_permissions.screenRecordingGranted() : m_permissions.accessibilityGranted();
}

void PermissionHelpWindow::checked() {
    if (granted()) {
        close();
        return;
    }
    if (!m_waiting)
        return;
    m_waiting = false;
    // What is missing may have changed meanwhile (a display that went, a manager that came).
    showExplanation(m_permissions.explanation(m_screenRecording));
    m_status->setText(QStringLiteral("Still missing."));
    m_status->show();
    adjustSize();
}

void PermissionHelpWindow::showExplanation(const QString& text) {
    m_explanation->setText(text);
    // A window does not ask its wrapped text for the height its width needs: the label is given it.
    m_explanation->setMinimumHeight(m_explanation->heightForWidth(width() - kMargin * 2));
    adjustSize();
}

void askForPermission(PermissionManager& permissions, bool screenRecording, QWidget& owner,
                      QPointer<PermissionHelpWindow>& shown) {
    const bool asked =
        screenRecording ? permissions.requestScreenRecording() : permissions.requestAccessibility();
    if (asked)
        return;
    if (!shown) {
        shown = new PermissionHelpWindow(permissions, screenRecording, owner.window());
        // Over the window it explains, also where no window manager places it.
        const QRect over = owner.window()->frameGeometry();
        shown->move(over.center() - QPoint(shown->width() / 2, shown->height() / 2));
    }
    shown->show();
    shown->raise();
    shown->activateWindow();
}

} // namespace corvane
