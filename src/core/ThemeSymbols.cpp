#include "core/ThemeSymbols.h"

#include <QDir>
#include <QFile>
#include <QHash>
#include <QIcon>
#include <QPainter>
#include <QStandardPaths>

#include <mutex>

namespace corvane {

namespace {

// Symbol name to freedesktop names, chosen for what the symbol stands for on its page.
const QHash<QString, QStringList>& counterparts() {
    static const QHash<QString, QStringList> names{
        {QStringLiteral("gearshape.fill"),
         {QStringLiteral("emblem-system-symbolic"), QStringLiteral("preferences-system")}},
        {QStringLiteral("sidebar.left"),
         {QStringLiteral("sidebar-show-symbolic"), QStringLiteral("view-dual-symbolic")}},
        {QStringLiteral("folder.fill"), {QStringLiteral("folder-symbolic"), QStringLiteral("folder")}},
        {QStringLiteral("doc.on.clipboard.fill"),
         {QStringLiteral("edit-paste-symbolic"), QStringLiteral("edit-paste")}},
        // Keeping awake: the sun coming up.
        {QStringLiteral("cup.and.saucer.fill"),
         {QStringLiteral("daytime-sunrise-symbolic"), QStringLiteral("weather-clear-symbolic")}},
        // The wheel fits a window to a place on the screen.
        {QStringLiteral("circle.circle.fill"),
         {QStringLiteral("zoom-fit-best-symbolic"), QStringLiteral("view-fullscreen-symbolic")}},
        {QStringLiteral("rectangle.split.2x2.fill"),
         {QStringLiteral("view-grid-symbolic"), QStringLiteral("view-app-grid-symbolic")}},
        {QStringLiteral("square.stack.3d.up.fill"),
         {QStringLiteral("view-paged-symbolic"), QStringLiteral("user-desktop-symbolic")}},
        {QStringLiteral("computermouse.fill"),
         {QStringLiteral("input-mouse-symbolic"), QStringLiteral("input-mouse")}},
        {QStringLiteral("command"),
         {QStringLiteral("preferences-desktop-keyboard-shortcuts-symbolic"),
          QStringLiteral("input-keyboard-symbolic"), QStringLiteral("input-keyboard")}},
        {QStringLiteral("eye.slash.fill"),
         {QStringLiteral("view-conceal-symbolic"), QStringLiteral("action-unavailable-symbolic")}},
        {QStringLiteral("lock.shield.fill"),
         {QStringLiteral("security-high-symbolic"), QStringLiteral("channel-secure-symbolic"),
          QStringLiteral("security-high")}},
        {QStringLiteral("info.circle.fill"),
         {QStringLiteral("help-about-symbolic"), QStringLiteral("help-about")}},
        {QStringLiteral("accessibility"),
         {QStringLiteral("preferences-desktop-accessibility-symbolic"),
          QStringLiteral("preferences-desktop-accessibility")}},
        {QStringLiteral("rectangle.dashed.badge.record"),
         {QStringLiteral("screen-shared-symbolic"), QStringLiteral("media-record-symbolic"),
          QStringLiteral("media-record")}},
    };
    return names;
}

} // namespace

// Qt reads the icon theme from the desktop; a bare X session (and the offscreen platform) names
// none, or only "hicolor", which holds no such icons, and may not even search the system's icon
// folders. Adwaita, which the README's set-up installs, stands in there, as the theme and as the
// fallback for names the desktop's own theme lacks.
void settleIconTheme() {
    static std::once_flag once;
    std::call_once(once, [] {
        QStringList paths = QIcon::themeSearchPaths();
        for (const QString& icons :
             QStandardPaths::locateAll(QStandardPaths::GenericDataLocation, QStringLiteral("icons"),
                                       QStandardPaths::LocateDirectory)) {
            if (!paths.contains(icons))
                paths.append(icons);
        }
        QIcon::setThemeSearchPaths(paths);
        const QString adwaita = QStringLiteral("Adwaita");
        const QString fallback = QIcon::fallbackThemeName();
        if (fallback.isEmpty() || fallback == QLatin1String("hicolor"))
            QIcon::setFallbackThemeName(adwaita);
        const QString theme = QIcon::themeName();
        if (!theme.isEmpty() && theme != QLatin1String("hicolor"))
            return;
        for (const QString& path : paths) {
            if (QFile::exists(QDir(path).filePath(adwaita + QStringLiteral("/index.theme")))) {
                QIcon::setThemeName(adwaita);
                return;
            }
        }
    });
}

QStringList freedesktopIconNames(const QString& symbol) {
    return counterparts().value(symbol);
}

QPixmap themeSymbolImage(const QString& symbol, const QColor& tint, int size, qreal devicePixelRatio) {
    const QStringList names = freedesktopIconNames(symbol);
    if (names.isEmpty() || size <= 0)
        return {};
    settleIconTheme();
    for (const QString& name : names) {
        if (!QIcon::hasThemeIcon(name))
            continue;
        const QIcon icon = QIcon::fromTheme(name);
        const QSize pixels = QSize(size, size) * devicePixelRatio;
        QPixmap pixmap(pixels);
        pixmap.fill(Qt::transparent);
        {
            QPainter painter(&pixmap);
            icon.paint(&painter, pixmap.rect());
            // One colour for every theme's picture, as the page's design wants it.
            painter.setCompositionMode(QPainter::CompositionMode_SourceIn);
            painter.fillRect(pixmap.rect(), tint);
        }
        pixmap.setDevicePixelRatio(devicePixelRatio);
        return pixmap;
    }
    return {};
}

} // namespace corvane
