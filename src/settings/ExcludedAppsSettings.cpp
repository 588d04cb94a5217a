#include "settings/ExcludedAppsSettings.h"

#include "core/AppIcons.h"
#include "core/SymbolImage.h"
#include "settings/BoundKey.h"
#include "settings/ExcludedApps.h"
#include "settings/FormSection.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QPainter>
#include <QPushButton>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvane {

namespace {

constexpr int iconSide = 20;

QPixmap dashedAppPicture(const QColor& ink, qreal ratio) {
    QPixmap picture(QSize(iconSide, iconSide) * ratio);
    picture.setDevicePixelRatio(ratio);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor line = ink;
    line.setAlphaF(0.5f);
    painter.setPen(QPen(line, 1.2, Qt::DashLine));
    painter.drawRoundedRect(QRectF(2.5, 2.5, iconSide - 5, iconSide - 5), 4, 4);
    return picture;
}

} // namespace

ExcludedAppsSettings::ExcludedAppsSettings(Settings& settings, AppIcons& icons, ApplicationCatalog& catalog,
                                           RunningApplications& running, int32_t ownPID, QWidget* parent)
    : SettingsPage(SettingsTab::excluded, parent), m_settings(settings), m_icons(icons), m_catalog(catalog),
      m_running(running), m_ownPID(ownPID) {
    m_list = new QListWidget;
    m_list->setMinimumHeight(220);
    m_list->setSelectionMode(QAbstractItemView::SingleSelection);
    m_list->setFrameShape(QFrame::NoFrame);
    addSection(QStringLiteral("Windows from these apps never appear in the sidebar"))->addRow(m_list);

    auto* actions = new QWidget;
    auto* row = new QHBoxLayout(actions);
    row->setContentsMargins(0, 0, 0, 0);
    auto* add = new QPushButton(QStringLiteral("Add Running App"));
    m_addMenu = new QMenu(add);
    add->setMenu(m_addMenu);
    connect(m_addMenu, &QMenu::aboutToShow, this, &ExcludedAppsSettings::fillAddMenu);
    row->addWidget(add);
    row->addStretch(1);
    m_restore = new QPushButton(QStringLiteral("Restore Defaults"));
    connect(m_restore, &QPushButton::clicked, this,
            [this] { m_settings.setExcludedBundleIDs(Settings::defaultExcludedBundleIDs()); });
    row->addWidget(m_restore);
    addSection()->addRow(actions);

    followSetting(settings, SettingKeys::excludedBundleIDs, this, [this] { rebuild(); });
}

QToolButton* ExcludedAppsSettings::removeButton(int row) const {
    QListWidgetItem* item = m_list->item(row);
    QWidget* shown = item ? m_list->itemWidget(item) : nullptr;
    return shown ? shown->findChild<QToolButton*>() : nullptr;
}

QMenu& ExcludedAppsSettings::addMenu() {
    fillAddMenu();
    return *m_addMenu;
}

void ExcludedAppsSettings::rebuild() {
    m_list->clear();
    const QColor ink = palette().color(QPalette::WindowText);
    for (const QString& bundleID : m_settings.excludedBundleIDs()) {
        auto* shown = new QWidget;
        auto* row = new QHBoxLayout(shown);
        row->setContentsMargins(6, 4, 6, 4);
        row->setSpacing(10);
        auto* icon = new QLabel;
        icon->setFixedSize(iconSide, iconSide);
        const std::optional<QIcon> picture = m_icons.appIconForBundleID(bundleID);
        icon->setPixmap(picture ? picture->pixmap(QSize(iconSide, iconSide), devicePixelRatioF())
                                : dashedAppPicture(ink, devicePixelRatioF()));
        row->addWidget(icon);
        auto* names = new QVBoxLayout;
        names->setSpacing(0);
        auto* name = new QLabel(excludedAppName(m_catalog, bundleID));
        name->setTextFormat(Qt::PlainText);
        names->addWidget(name);
        names->addWidget(captionLabel(bundleID));
        row->addLayout(names, 1);
        QColor secondary = ink;
        secondary.setAlphaF(0.5f);
        QToolButton* remove =
            symbolButton(QStringLiteral("minus.circle.fill"), secondary, 16, QStringLiteral("Remove"));
        connect(remove, &QToolButton::clicked, this, [this, bundleID] {
            m_settings.setExcludedBundleIDs(withoutApp(m_settings.excludedBundleIDs(), bundleID));
        });
        row->addWidget(remove);

        auto* item = new QListWidgetItem(m_list);
        item->setData(Qt::UserRole, bundleID);
        item->setSizeHint(shown->sizeHint());
        m_list->setItemWidget(item, shown);
    }
}

void ExcludedAppsSettings::fillAddMenu() {
    m_addMenu->clear();
    for (const RunningApplication& app :
         addableApplications(m_running.runningApplications(), m_settings.excludedBundleIDs(), m_ownPID)) {
        const QString title = app.localizedName.isEmpty() ? *app.bundleID : app.localizedName;
        QAction* action = m_addMenu->addAction(title);
        action->setData(app.pid);
        connect(action, &QAction::triggered, this, [this, pid = app.pid] {
            // The process may have gone or changed since the menu opened.
            const std::optional<RunningApplication> chosen = m_running.application(pid);
            if (!chosen || !chosen->bundleID)
                return;
            QStringList excluded = m_settings.excludedBundleIDs();
            excluded.append(*chosen->bundleID);
            m_settings.setExcludedBundleIDs(excluded);
        });
    }
}

} // namespace corvane
