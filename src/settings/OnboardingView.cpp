#include "settings/OnboardingView.h"

#include "core/Colors.h"
#include "core/PermissionManager.h"
#include "core/SystemHelpers.h"
#include "platform/Platform.h"
#include "settings/ApplicationIcon.h"
#include "settings/OnboardingTip.h"
#include "settings/PermissionHelpWindow.h"
#include "settings/PermissionRow.h"
#include "settings/PermissionTitles.h"
#include "settings/SettingsServices.h"

#include <QApplication>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QVBoxLayout>

namespace corvane {
namespace {

QColor textColour(const QWidget& widget, double alpha) {
    QColor colour = widget.palette().color(QPalette::WindowText);
    colour.setAlphaF(static_cast<float>(alpha));
    return colour;
}

void setTextAlpha(QLabel& label, double alpha) {
    QPalette palette = label.palette();
    palette.setColor(QPalette::WindowText, textColour(label, alpha));
    label.setPalette(palette);
}

} // namespace

OnboardingView::OnboardingView(const SettingsServices& services, std::function<void()> onDone,
                               QWidget* parent)
    : QWidget(parent), m_services(services), m_onDone(std::move(onDone)) {
    setFixedSize(side, side);
    PermissionManager& permissions = services.permissions;
    SystemShell& shell = *services.platform.shell;

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addWidget(makeHeader());

    auto* rows = new QVBoxLayout;
    rows->setContentsMargins(28, 0, 28, 0);
    rows->setSpacing(10);
    m_accessibility = new PermissionRow(
        QStringLiteral("accessibility"), windowManagerPermissionTitle(),
        QStringLiteral("Focus, move and resize windows; the snap wheel (Menu key) and hotkeys."),
        permissions.accessibilityGranted(), [this] { requestAccessibility(); });
    m_screenRecording = new PermissionRow(
        QStringLiteral("rectangle.dashed.badge.record"), compositePermissionTitle(),
        QStringLiteral("Live thumbnails and window titles. Optional — app icons are shown without it."),
        permissions.screenRecordingGranted(),
        [this, &permissions] { askForPermission(permissions, true, *this, m_screenRecordingHelp); });
    rows->addWidget(m_accessibility);
    rows->addWidget(m_screenRecording);
    layout->addLayout(rows);

    auto* tips = new QVBoxLayout;
    tips->setContentsMargins(28, 14, 28, 0);
    tips->setSpacing(8);
    m_stageManagerTip =
        new OnboardingTip(QStringLiteral("rectangle.3.group"),
                          QStringLiteral("Window grouping is on. Corvane works best with it off."),
                          QStringLiteral("Open Desktop Settings"), [&shell] { openDesktopSettings(shell); });
    // Capturing windows needs the X server's Composite extension, fixed when the server starts:
    // no relaunch of ours can bring it, so the tip says what is missing instead.
    m_captureTip = new OnboardingTip(
        QStringLiteral("exclamationmark.triangle.fill"),
        QStringLiteral("This X server has no Composite extension, so windows cannot be captured."), QString(),
        {});
    m_captureTip->button().hide();
    tips->addWidget(m_stageManagerTip);
    tips->addWidget(m_captureTip);
    layout->addLayout(tips);

    layout->addStretch(1);
    layout->addSpacing(12);
    layout->addWidget(makeFooter());

    m_bothGranted = permissions.accessibilityGranted() && permissions.screenRecordingGranted();
    connect(&permissions, &PermissionManager::accessibilityGrantedChanged, this, &OnboardingView::refresh);
    connect(&permissions, &PermissionManager::screenRecordingGrantedChanged, this, &OnboardingView::refresh);
    connect(&permissions, &PermissionManager::screenRecordingRequestedChanged, this,
            &OnboardingView::refresh);
    refresh();
}

QWidget* OnboardingView::makeHeader() {
    auto* header = new QWidget;
    auto* layout = new QVBoxLayout(header);
    layout->setContentsMargins(0, 28, 0, 22);
    layout->setSpacing(10);

    auto* icon = new QLabel;
    icon->setPixmap(applicationIcon(84, devicePixelRatioF()));
    icon->setFixedSize(84, 84);
    auto* shadow = new QGraphicsDropShadowEffect(icon);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(16);
    shadow->setOffset(0, 4);
    icon->setGraphicsEffect(shadow);
    layout->addWidget(icon, 0, Qt::AlignHCenter);

    auto* welcome = new QLabel(QStringLiteral("Welcome to Corvane"));
    welcome->setObjectName(QStringLiteral("welcome"));
    QFont big = welcome->font();
    big.setPixelSize(26);
    big.setWeight(QFont::Bold);
    welcome->setFont(big);
    layout->addWidget(welcome, 0, Qt::AlignHCenter);

    auto* intro =
        new QLabel(QStringLiteral("A compact strip of live window thumbnails, one-click workspaces and a "
                                  "snap wheel.\nTwo permissions and you're ready."));
    intro->setTextFormat(Qt::PlainText);
    intro->setAlignment(Qt::AlignHCenter);
    QFont body = intro->font();
    body.setPixelSize(13);
    intro->setFont(body);
    setTextAlpha(*intro, 0.6);
    layout->addWidget(intro, 0, Qt::AlignHCenter);
    return header;
}

QWidget* OnboardingView::makeFooter() {
    auto* footer = new QWidget;
    auto* layout = new QHBoxLayout(footer);
    layout->setContentsMargins(20, 20, 20, 20);

    auto* maker = new QLabel(QStringLiteral("Corvane by Lumenforge"));
    QFont small = maker->font();
    small.setPixelSize(11);
    small.setWeight(QFont::Medium);
    maker->setFont(small);
    setTextAlpha(*maker, 0.4);
    layout->addWidget(maker);
    layout->addStretch(1);

    m_done = new QPushButton;
    m_done->setObjectName(QStringLiteral("done"));
    m_done->setDefault(true);
    m_done->setMinimumHeight(32);
    QFont large = m_done->font();
    large.setPixelSize(14);
    large.setWeight(QFont::DemiBold);
    m_done->setFont(large);
    const QColor brand = brandColor();
    m_done->setStyleSheet(QStringLiteral("QPushButton { background: %1; color: white; border: none; "
                                         "border-radius: 7px; padding: 6px 16px; }"
                                         "QPushButton:pressed { background: %2; }")
                              .arg(brand.name(), brand.darker(120).name()));
    connect(m_done, &QPushButton::clicked, this, [this] {
        if (m_onDone)
            m_onDone();
    });
    layout->addWidget(m_done);
    return footer;
}

void OnboardingView::requestAccessibility() {
    // There is no prompt to raise: the user is sent to where the permission is given, or told
    // what gives it where the desktop has no such place.
    askForPermission(m_services.permissions, false, *this, m_accessibilityHelp);
}

void OnboardingView::refresh() {
    const PermissionManager& permissions = m_services.permissions;
    const bool accessibility = permissions.accessibilityGranted();
    const bool screenRecording = permissions.screenRecordingGranted();
    m_accessibility->setGranted(accessibility);
    m_screenRecording->setGranted(screenRecording);
    m_stageManagerTip->setVisible(isStageManagerOn());
    m_captureTip->setVisible(!screenRecording && permissions.screenRecordingRequested());
    m_done->setText(accessibility ? QStringLiteral("Get Started")
                                  : QStringLiteral("Continue Without a Window Manager"));

    const bool both = accessibility && screenRecording;
    if (both == m_bothGranted)
        return;
    m_bothGranted = both;
    if (both)
        Q_EMIT permissionsCompleted();
}

} // namespace corvane
