#include "shelf/FileShelfController.h"

#include "core/Animator.h"
#include "core/Colors.h"
#include "core/PanelBackground.h"
#include "core/PanelMotion.h"
#include "core/ScreenHelpers.h"
#include "core/SettingKeys.h"
#include "core/Settings.h"
#include "core/StatusItems.h"
#include "core/TrayPicture.h"
#include "platform/UserDefaults.h"
#include "runtime/Log.h"
#include "runtime/Scheduler.h"
#include "shelf/FileListGlyph.h"
#include "shelf/FileListView.h"
#include "shelf/FilePanel.h"
#include "shelf/FileShelf.h"
#include "shelf/PreviewPanel.h"
#include "shelf/ShelfHost.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfPath.h"
#include "shelf/ShelfRectText.h"
#include "shelf/ShelfSymbol.h"

#include <QApplication>
#include <QLineEdit>
#include <QMenu>
#include <QPainter>
#include <QPalette>

#include <cmath>

namespace corvane {

namespace {

constexpr double cornerRadius = 14;
// One above the floating panels' level, so the popover shows over them.
constexpr int popoverLevel = PanelLevel::status;
constexpr Seconds popoverSlide{0.14};
constexpr int floatingOnTopLevel = 3;

QColor shelfAccentColor(const Settings& settings) {
    return settings.sidebarAccent() == AccentChoice::system
               ? QApplication::palette().color(QPalette::Highlight)
               : brandColor();
}

std::optional<ShelfSource> sourceForId(const QString& id) {
    if (id == QLatin1String("tray"))
        return ShelfSource::tray();
    if (id.startsWith(QLatin1Char('/')))
        return ShelfSource::folder(id);
    return std::nullopt;
}

} // namespace

const QString FileShelfController::floatingShelvesKey = QStringLiteral("floatingShelves");

QString FileShelfController::frameKey(const ShelfSource& source) {
    return QStringLiteral("shelfFrame.") + source.id();
}

FileShelfController::FileShelfController(Services services) : m_services(services) {
    // Every key pressed in the application passes here first: the file panels' keys are decided
    // before the focused view (the search field) sees them.
    if (qApp)
        qApp->installEventFilter(this);
    // Open lists take a new accent at once, as the strip does.
    onSettingChange(
        m_services.settings, this,
        [this] {
            const QColor accent = shelfAccentColor(m_services.settings);
            std::vector<FilePanel*> panels{m_popover.get()};
            for (const auto& [id, entry] : m_floating)
                panels.push_back(entry.second.get());
            for (FilePanel* panel : panels) {
                if (FileListView* list = panel ? panel->findChild<FileListView*>() : nullptr)
                    list->setAccent(accent);
            }
        },
        SettingKeys::sidebarAccent);
}

FileShelfController::~FileShelfController() {
    if (qApp)
        qApp->removeEventFilter(this);
}

PreviewPanel& FileShelfController::preview() {
    if (!m_preview) {
        m_preview = std::make_unique<PreviewPanel>(m_services.windowing, m_services.worker);
        connect(m_preview.get(), &PreviewPanel::pdfHelperMissing, this, [this] {
            qCWarning(lcApp, "Preview: PDF pages are not drawn: corvane-preview was found neither beside the "
                             "program nor in its libexec/corvane folder (set CORVANE_PREVIEW_HELPER to "
                             "its path); PDFs show their facts only");
            reportFailure(QStringLiteral("PDF pages cannot be shown: corvane-preview is not installed"));
        });
    }
    return *m_preview;
}

std::vector<ShelfSource> FileShelfController::shownSources() const {
    return shelfSources(m_services.settings, m_services.shelf);
}

// --- Status item ---

namespace {

// A menu entry's symbol, drawn in the menu's text colour so it reads in light and dark menus.
QIcon menuSymbol(const QString& name) {
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    drawShelfSymbol(painter, name, QRectF(3, 3, 26, 26), QApplication::palette().color(QPalette::Text));
    painter.end();
    return QIcon(picture);
}

} // namespace

const QString FileShelfController::statusItemIdentifier = QStringLiteral("files");

bool FileShelfController::hasStatusItem() const {
    return m_services.statusItems.statusItem(statusItemIdentifier) != nullptr;
}

void FileShelfController::syncStatusItem() {
    Settings& settings = m_services.settings;
    const bool wanted = settings.showFilesIcon() && (settings.showTray() || settings.showFiles());
    if (wanted == hasStatusItem())
        return;
    if (!wanted) {
        m_services.statusItems.removeStatusItem(statusItemIdentifier);
        return;
    }
    if (!m_statusMenu) {
        m_statusMenu = std::make_unique<QMenu>();
        QMenu* menu = m_statusMenu.get();
        connect(menu, &QMenu::aboutToShow, this, [this, menu] { rebuildStatusMenu(*menu); });
    }
    QPointer<FileShelfController> self(this);
    TrayIcon& item = m_services.statusItems.makeStatusItem(statusItemIdentifier, [self] {
        if (self)
            self->m_services.settings.setShowFilesIcon(false);
    });
    QPixmap picture(32, 32);
    picture.fill(Qt::transparent);
    {
        QPainter painter(&picture);
        drawFileListGlyph(painter, QStringLiteral("folder"), QRectF(3, 3, 26, 26), QColor(235, 235, 235));
    }
    item.setIcon(QIcon(outlinedTrayPicture(picture)));
    item.setAccessibleName(QStringLiteral("Files & Tray"));
    item.setToolTip(QStringLiteral("Tray & folders"));
    item.setMenu(m_statusMenu.get());
}

void FileShelfController::rebuildStatusMenu(QMenu& menu) {
    menu.clear();
    for (const ShelfSource& source : shownSources()) {
        QString title;
        if (source.isTray()) {
            const qsizetype n = m_services.shelf.tray().size();
            title = n == 0 ? QStringLiteral("Tray") : QStringLiteral("Tray (%1)").arg(n);
        } else {
            // An ampersand in a folder's name is the name's, not a shortcut mark.
            title = shownName(shelfDisplayName(source.path)).replace(QLatin1Char('&'), QStringLiteral("&&"));
        }
        menu.addAction(
            menuSymbol(source.isTray() ? QStringLiteral("tray.fill") : QStringLiteral("folder.fill")), title,
            this, [this, source] { togglePopover(source); });
    }
    menu.addSeparator();
    menu.addAction(QStringLiteral("Files Settings…"), this, [this] { m_services.host.openFilesSettings(); });
}

void FileShelfController::togglePopover(const ShelfSource& source) {
    if (!hasStatusItem())
        return;
    // Under the icon where the tray says where it sits; where it does not, the pointer that just
    // chose the entry is beside it.
    const QRect icon = m_services.statusItems.statusItem(statusItemIdentifier)->geometry();
    const QPointF pointer = m_services.screens.pointerLocation();
    const std::optional<QRectF> frame = icon.isEmpty()
                                            ? popoverFrame(QRectF(pointer.x() - 12, pointer.y() - 12, 24, 24))
                                            : popoverFrameBeside(icon);
    if (!frame)
        return;
    // The menu closes meanwhile.
    QPointer<FileShelfController> self(this);
    m_menuChoice = m_services.scheduler.schedule(Seconds(0.06), [self, source, frame = *frame] {
        if (self)
            self->present(source, frame, 0);
    });
}

// --- Popover ---

std::optional<QRectF> FileShelfController::popoverFrame(const QRectF& anchor) const {
    std::optional<ScreenInfo> screen;
    for (const ScreenInfo& candidate : m_services.screens.screens()) {
        if (pointInRect(anchor.center(), candidate.frame)) {
            screen = candidate;
            break;
        }
    }
    if (!screen)
        screen = m_services.screens.mainScreen();
    if (!screen)
        return std::nullopt;
    const QRectF visible = topLeftVisibleFrame(*screen);
    double x = anchor.center().x() - popoverWidth / 2;
    x = std::max(x, visible.left() + 8);
    x = std::min(x, visible.right() - popoverWidth - 8);
    // Under a tray at the top of the screen, over one at the bottom.
    const bool trayAtBottom = anchor.center().y() > screen->frame.center().y();
    const double y = trayAtBottom ? visible.bottom() - popoverHeight - 6 : visible.top() + 6;
    return QRectF(std::round(x), std::round(y), popoverWidth, popoverHeight);
}

std::optional<QRectF> FileShelfController::popoverFrameBeside(const QRectF& icon) const {
    std::optional<QRectF> frame = popoverFrame(icon);
    // A tray whose panel does not keep windows off its edge would have the popover over the icon.
    if (frame && frame->intersects(icon)) {
        if (frame->center().y() > icon.center().y())
            frame->moveTop(icon.bottom() + 6);
        else
            frame->moveBottom(icon.top() - 6);
    }
    return frame;
}

void FileShelfController::showPopover(const ShelfSource& source, const QRectF& anchor) {
    if (const std::optional<QRectF> frame = popoverFrame(anchor))
        present(source, *frame, 0);
}

bool FileShelfController::isPopoverShown() const {
    return m_popover && m_popover->isVisible() && m_popoverSource.has_value();
}

void FileShelfController::present(const ShelfSource& source, const QRectF& frame, double slideOffset) {
    if (m_popoverSource == source && m_popover && m_popover->isVisible()) {
        closePopover();
        return;
    }
    if (FilePanel* floating = floatingPanel(source)) {
        floating->raise();
        return;
    }
    m_services.host.hideStripHoverPreview();
    if (!m_popover) {
        m_popover = makePanel(source, false, popoverLevel);
        m_popoverMotion = std::make_unique<PanelMotion>(*m_popover, m_services.animator);
    }
    m_popoverSource = source;
    setContent(*m_popover, source, false);
    // It starts a little towards the strip (or higher, under the tray) and slides into place as it
    // fades in.
    const QRectF start = frame.translated(slideOffset, slideOffset == 0 ? -6 : 0);
    m_popoverMotion->jump(start.toRect());
    m_popover->setAlphaValue(0);
    m_popover->show();
    m_popover->raise();
    m_popoverMotion->run(frame.toRect(), 1.0, popoverSlide, PanelMotion::easeOut());
}

void FileShelfController::closePopover() {
    if (m_preview && m_preview->isVisible())
        m_preview->hide();
    if (!m_popover || !m_popover->isVisible())
        return;
    m_popoverSource.reset();
    QPointer<FilePanel> panel(m_popover.get());
    // A popover presented again during the fade takes the motion over, and stays.
    m_popoverMotion->run(m_popoverMotion->target(), 0.0, Seconds(0.1), PanelMotion::easeInEaseOut(), [panel] {
        if (panel && panel->alphaValue() == 0)
            panel->hide();
    });
}

// --- Panels ---

std::unique_ptr<FilePanel> FileShelfController::makePanel(const ShelfSource& source, bool isFloating,
                                                          int level) {
    Q_UNUSED(source);
    auto panel = std::make_unique<FilePanel>(m_services.windowing, QRect(0, 0, 100, 100), level);
    panel->setCornerRadius(cornerRadius);
    // A floating panel is one of the user's windows, listed and cycled through with the others;
    // the popover comes and goes with a click.
    panel->setIgnoresCycle(!isFloating);
    return panel;
}

void FileShelfController::setContent(FilePanel& panel, const ShelfSource& source, bool isFloating) {
    auto model = std::make_unique<ShelfListModel>(source, m_services.shelf, m_services.settings,
                                                  m_services.shell, m_services.scheduler, m_services.worker);
    QPointer<FilePanel> weakPanel(&panel);
    QPointer<FileShelfController> self(this);
    const auto reloadPreview = [self, weakPanel] {
        if (self && weakPanel && self->m_preview && self->m_preview->isVisible() &&
            self->m_preview->owner() == weakPanel)
            self->m_preview->reloadData();
    };
    model->onSelectionChange = reloadPreview;
    // A listing changes the selection too, and not through the user: a selected file that is
    // deleted or renamed drops out of it, and one kept in the Tray goes missing. The preview
    // follows, rather than go on showing a file that is no longer there.
    connect(model.get(), &ShelfListModel::selectionChanged, &panel, reloadPreview);
    connect(model.get(), &ShelfListModel::filesChanged, &panel, reloadPreview);
    // Taskbars and window lists name the panel by the folder it shows.
    const auto retitle = [weakPanel, shown = model.get()] {
        if (weakPanel)
            weakPanel->setWindowTitle(shownName(shown->title()));
    };
    connect(model.get(), &ShelfListModel::trailChanged, &panel, retitle);
    retitle();
    FileListActions actions;
    actions.toggleFloat = [self, source] {
        if (self)
            self->toggleFloating(source);
    };
    actions.close = [self, source, isFloating] {
        if (self)
            self->closeShelf(source, isFloating);
    };
    actions.preview = [self, weakPanel] {
        if (self && weakPanel)
            weakPanel->toggleQuickLook(self->preview());
    };
    actions.reportFailure = [self](const QString& message) {
        if (self)
            self->reportFailure(message);
    };
    actions.focusList = [weakPanel] {
        if (!weakPanel)
            return;
        weakPanel->makeKeyWindow();
        // Ends editing in the search field, so the keys go to the list.
        weakPanel->setFocus(Qt::MouseFocusReason);
    };
    auto* list = new FileListView(*model, m_services.shelf, m_services.shell, isFloating, actions,
                                  shelfAccentColor(m_services.settings));
    // The previous content and its model go together; the new model must outlive its view.
    panel.setContentView(nullptr);
    panel.setModel(std::move(model));
    panel.setContentView(makePanelBackground(m_services.settings.panelStyle(), list, cornerRadius));
}

int FileShelfController::floatingLevel() const {
    return m_services.settings.shelfAlwaysOnTop() ? floatingOnTopLevel : PanelLevel::normal;
}

FilePanel* FileShelfController::floatingPanel(const ShelfSource& source) const {
    const auto it = m_floating.find(pathKey(source.id()));
    return it == m_floating.end() ? nullptr : it->second.second.get();
}

bool FileShelfController::hasFloatingPanel(const ShelfSource& source) const {
    return floatingPanel(source) != nullptr;
}

QRectF FileShelfController::defaultFloatingFrame(int openCount) const {
    const std::optional<ScreenInfo> screen = screenUnderMouse(m_services.screens);
    if (!screen)
        return QRectF(0, 0, 100, 100);
    const QRectF visible = topLeftVisibleFrame(*screen);
    const double d = 28.0 * openCount;
    return QRectF(visible.right() - floatingWidth - 24 - d, visible.top() + 24 + d, floatingWidth,
                  floatingHeight);
}

void FileShelfController::openFloating(const ShelfSource& source) {
    if (FilePanel* open = floatingPanel(source)) {
        open->raise();
        return;
    }
    std::unique_ptr<FilePanel> panel = makePanel(source, true, floatingLevel());
    setContent(*panel, source, true);

    QRectF frame = defaultFloatingFrame(static_cast<int>(m_floating.size()));
    if (const auto text = m_services.defaults.string(frameKey(source).toStdString())) {
        const std::optional<QRectF> stored = rectFromText(QString::fromStdString(*text));
        bool onScreen = false;
        for (const ScreenInfo& screen : m_services.screens.screens())
            onScreen = onScreen || (stored && topLeftVisibleFrame(screen).intersects(*stored));
        if (stored && stored->width() > 100 && onScreen)
            frame = *stored;
    }
    panel->setFrame(frame.toRect());
    panel->setAlphaValue(0);
    panel->show();
    panel->raise();
    m_services.animator.fade(*panel, 1.0, Seconds(0.16));

    FilePanel* raw = panel.get();
    connect(raw, &FilePanel::frameMoved, this, [this, raw, source] { saveFrame(*raw, source); });
    m_floating[pathKey(source.id())] = {source, std::move(panel)};
    storeFloatingIds();
}

void FileShelfController::closeFloating(const ShelfSource& source) {
    const auto it = m_floating.find(pathKey(source.id()));
    if (it == m_floating.end())
        return;
    std::unique_ptr<FilePanel> panel = std::move(it->second.second);
    m_floating.erase(it);
    panel->disconnect(this);
    saveFrame(*panel, source);
    if (m_preview && m_preview->owner() == panel.get())
        m_preview->hide();
    panel->hide();
    storeFloatingIds();
}

void FileShelfController::toggleFloating(const ShelfSource& source) {
    if (hasFloatingPanel(source)) {
        closeFloating(source);
        return;
    }
    closePopover();
    openFloating(source);
}

void FileShelfController::closeShelf(const ShelfSource& source, bool isFloating) {
    if (isFloating)
        closeFloating(source);
    else
        closePopover();
}

void FileShelfController::saveFrame(const FilePanel& panel, const ShelfSource& source) {
    m_services.defaults.set(frameKey(source).toStdString(), textFromRect(panel.frame()).toStdString());
}

void FileShelfController::storeFloatingIds() {
    Json ids = Json::array();
    for (const auto& [key, entry] : m_floating)
        ids.push_back(entry.first.id().toStdString());
    m_services.defaults.set(floatingShelvesKey.toStdString(), ids);
}

void FileShelfController::syncFloatingPanels() {
    std::vector<QString> known;
    for (const ShelfSource& source : m_services.shelf.sources())
        known.push_back(pathKey(source.id()));
    std::vector<ShelfSource> gone;
    for (const auto& [key, entry] : m_floating) {
        if (std::find(known.begin(), known.end(), key) == known.end())
            gone.push_back(entry.first);
    }
    for (const ShelfSource& source : gone)
        closeFloating(source);
    const bool onTop = floatingLevel() > PanelLevel::normal;
    for (auto& [key, entry] : m_floating) {
        FilePanel& panel = *entry.second;
        if (panel.windowFlags().testFlag(Qt::WindowStaysOnTopHint) == onTop)
            continue;
        // Changing a window's flags hides it.
        const bool visible = panel.isVisible();
        panel.setWindowFlag(Qt::WindowStaysOnTopHint, onTop);
        if (visible)
            panel.show();
    }
}

void FileShelfController::restoreFloatingShelves() {
    const auto ids = m_services.defaults.stringArray(floatingShelvesKey.toStdString());
    if (!ids)
        return;
    for (const std::string& id : *ids) {
        if (const std::optional<ShelfSource> source = sourceForId(QString::fromStdString(id)))
            openFloating(*source);
    }
}

} // namespace corvane
