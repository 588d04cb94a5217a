#include "clipboard/ClipboardPanelController.h"

#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardView.h"
#include "core/Animator.h"
#include "core/Colors.h"
#include "core/PanelBackground.h"
#include "core/PanelMotion.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "core/StatusItems.h"
#include "core/SymbolImage.h"
#include "core/TrayPicture.h"
#include "platform/EventMonitors.h"
#include "platform/PanelWindowing.h"
#include "platform/PasteKeystroke.h"
#include "runtime/Log.h"
#include "shelf/FilePanel.h"

#include <QApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>

namespace corvane {

namespace {

const QString statusIdentifier = QStringLiteral("clipboard");
constexpr double sideMargin = 32;
constexpr double bottomGap = 12;
constexpr double cornerRadius = 22;
constexpr Seconds focusPollInterval{0.02};

} // namespace

ClipboardPanelController::ClipboardPanelController(Services services)
    : m_services(std::move(services)), m_previews(m_services.pictures),
      m_keyboard(m_services.hotKeys, m_services.scheduler) {
    connect(&m_services.history, &ClipboardHistory::itemsChanged, this,
            &ClipboardPanelController::stripContentChanged);
    connect(&m_previews, &ClipPreviews::ready, this, &ClipboardPanelController::stripContentChanged);
    // The accent among them; settings change seldom.
    connect(&m_services.settings, &Settings::changed, this, &ClipboardPanelController::stripContentChanged);
}

ClipboardPanelController::~ClipboardPanelController() {
    m_keyboard.cancel();
    removeMonitors();
    // The motion looks at the panel; it goes first.
    m_motion.reset();
    delete m_panel.data();
}

QEasingCurve ClipboardPanelController::showCurve() {
    return PanelMotion::bezier({0.2, 0.9}, {0.3, 1.0});
}

void ClipboardPanelController::updateStatusItem() {
    const Settings& settings = m_services.settings;
    if (settings.clipboardEnabled() && settings.showClipboardIcon()) {
        if (hasStatusItem())
            return;
        QPointer<ClipboardPanelController> self(this);
        TrayIcon& item = m_services.statusItems.makeStatusItem(statusIdentifier, [self] {
            if (self)
                self->m_services.settings.setShowClipboardIcon(false);
        });
        item.setIcon(QIcon(outlinedTrayPicture(symbolImage("doc.on.clipboard", QColor(Qt::white), 22, 2.0))));
        item.setToolTip(tr("Clipboard history") + QStringLiteral(" (") + m_services.shortcutText() +
                        QStringLiteral(")"));
        connect(&item, &TrayIcon::activated, this, &ClipboardPanelController::statusClicked);
    } else if (hasStatusItem()) {
        m_services.statusItems.removeStatusItem(statusIdentifier);
    }
}

bool ClipboardPanelController::hasStatusItem() const {
    return m_services.statusItems.statusItem(statusIdentifier) != nullptr;
}

bool ClipboardPanelController::isShown() const {
    return m_panel && m_panel->isVisible() && m_panel->alphaValue() > 0;
}

void ClipboardPanelController::statusClicked() {
    if (isShown())
        hide();
    else
        show();
}

void ClipboardPanelController::show() {
    // Before anything else: a key typed from now on is the strip's, even before it can take it.
    m_keyboard.opening();
    const std::optional<ScreenInfo> screen = screenUnderMouse(m_services.screens);
    if (!screen) {
        m_keyboard.cancel();
        return;
    }
    m_model.setQuery(QString());
    m_model.setSelectedIndex(0);

    // The strip opens often and should open at once: without a compositing manager its window has
    // no alpha channel, which would only cost the server a copy at each opening. One made before a
    // compositing manager started or stopped is made anew.
    if (m_panel && !m_panel->isVisible() && m_panel->isSurfaceOutdated()) {
        m_motion.reset();
        delete m_panel.data();
    }
    if (!m_panel) {
        m_panel = new FilePanel(m_services.windowing, QRect(0, 0, 100, 100), PanelLevel::status,
                                FloatingPanel::Surface::translucentWhenComposited);
        // The strip is nobody's window to manage: it shows on every desktop above everything, is
        // never listed among the windows, and takes the keyboard itself while it shows. Left to
        // the window manager, taking its window in cost more than all the rest of an opening.
        m_panel->setWindowFlag(Qt::BypassWindowManagerHint);
        m_panel->setCornerRadius(cornerRadius);
        m_panel->setWindowTitle(tr("Clipboard"));
        m_motion = std::make_unique<PanelMotion>(*m_panel, m_services.animator);
        m_keyboard.setStrip(m_panel);
    }
    QPointer<ClipboardPanelController> self(this);
    ClipboardViewActions actions;
    actions.choose = [self](const ClipItem& item) {
        if (self)
            self->choose(item);
    };
    actions.copyOnly = [self](const ClipItem& item) {
        if (!self)
            return;
        self->m_services.history.copyToPasteboard(item);
        self->hide();
    };
    actions.remove = [self](const QUuid& id) {
        if (self)
            self->m_services.history.remove(id);
    };
    actions.clear = [self] {
        if (self)
            self->m_services.history.clear();
    };
    actions.close = [self] {
        if (self)
            self->hide();
    };
    actions.sourceIcon = m_services.sourceIcon;
    // The view is made once and kept (it follows the history while hidden); each opening starts
    // it as a new one would. Its cards take the accent the settings give as they are placed.
    if (m_view) {
        m_view->resetForShow();
    } else {
        const Settings& settings = m_services.settings;
        m_view = new ClipboardView(
            m_services.history, m_model, [&settings] { return accentColor(settings.sidebarAccent()); },
            m_services.animator, std::move(actions), &m_previews);
        m_panel->setContentView(makePanelBackground(PanelStyle::dark, m_view, cornerRadius));
    }

    const QRectF visible = screen->visibleFrame;
    const double width = std::min(visible.width() - sideMargin, maximumWidth);
    const QRectF frame(visible.center().x() - width / 2, visible.bottom() - bottomGap - stripHeight, width,
                       stripHeight);
    // It rises from a little below its place while it fades in; without a compositing manager the
    // rise alone shows.
    const QRect target = frame.toAlignedRect();
    m_motion->jump(target.translated(0, int(slideDistance)));
    m_panel->setAlphaValue(0);
    installMonitors();
    // The keyboard is asked for once the strip's picture is up: asked for while the window is
    // being mapped, Qt asks for it when the mapping is reported and waits for the server's answer
    // before it gets to the exposure. Keys typed meanwhile are held for the strip. Not for a strip
    // already closing: a choice made before it had the keyboard leaves the keyboard where it is.
    m_panel->showPaintedAhead([self] {
        if (!self || !self->m_monitoring)
            return;
        self->m_keyboard.onScreen();
        // A strip closed a moment ago with the keyboard can still be the toolkit's focus window:
        // it reports a lost keyboard only a moment late, in case it comes straight back, and then
        // never reports it back. The strip that has just asked for the keyboard counts as active.
        FilePanel* panel = self->m_panel;
        if (panel && panel->windowHandle() == QGuiApplication::focusWindow() && !panel->isActiveWindow())
            QApplication::setActiveWindow(panel);
    });
    m_view->searchField()->setFocus();
    m_motion->run(target, 1.0, showDuration, showCurve());
    if (m_panel->isActiveWindow())
        m_keyboard.activated();
}

void ClipboardPanelController::hide() {
    m_keyboard.closing();
    removeMonitors();
    if (!m_panel || !m_panel->isVisible())
        return;
    QPointer<FilePanel> panel = m_panel;
    QPointer<ClipboardPanelController> self(this);
    // A show during the fade takes the motion over, and the strip stays.
    m_motion->run(m_motion->target(), 0.0, hideDuration, PanelMotion::easeInEaseOut(), [panel, self] {
        if (!panel || panel->alphaValue() != 0)
            return;
        panel->hide();
        if (self)
            self->paintWhileHiddenSoon();
    });
}

void ClipboardPanelController::stripContentChanged() {
    if (!m_panel)
        return;
    m_panel->dropPaintedAhead();
    if (!m_panel->isVisible())
        paintWhileHiddenSoon();
}

void ClipboardPanelController::paintWhileHiddenSoon() {
    if (!m_paintWhileHidden.isValid())
        m_paintWhileHidden = m_services.scheduler.schedule(paintAheadDelay, [this] { paintWhileHidden(); });
}

void ClipboardPanelController::paintWhileHidden() {
    if (!m_panel || !m_view || m_panel->isVisible())
        return;
    // As the next opening starts: no search, the first entry selected, the row at its start.
    m_model.setQuery(QString());
    m_model.setSelectedIndex(0);
    m_view->resetForShow();
    m_panel->setAlphaValue(0);
    m_panel->paintWhileHidden();
}

void ClipboardPanelController::choose(const ClipItem& item) {
    m_services.history.copyToPasteboard(item);
    const uint32_t front = m_panel ? static_cast<uint32_t>(m_panel->returnFocusWindow()) : 0;
    const bool paste = m_services.settings.clipboardPasteDirectly();
    if (paste && front != 0)
        m_services.paste.watchFocus(front);
    hide();
    // The keyboard goes back now, not when the fade ends; also from a strip chosen from before it
    // had the keyboard, which may still be on its way to it (closing gave it back only if it had it).
    if (m_panel)
        m_panel->giveKeyboardBack();
    if (!paste)
        return;
    const Instant since = m_services.scheduler.now();
    m_pasteTimer =
        m_services.scheduler.schedule(pasteDelay, [this, front, since] { pasteWhenFocused(front, since); });
}

void ClipboardPanelController::pasteWhenFocused(uint32_t window, Instant since) {
    // Without a window to return to, the paste goes wherever the keyboard is.
    if (window == 0 || m_services.paste.hasFocus(window)) {
        m_services.paste.sendPaste();
        return;
    }
    if (m_services.scheduler.elapsedSince(since) >= focusTimeout) {
        qCInfo(lcApp, "Clipboard paste dropped: the window in front did not get the keyboard back");
        return;
    }
    m_pasteTimer = m_services.scheduler.schedule(focusPollInterval,
                                                 [this, window, since] { pasteWhenFocused(window, since); });
}

bool ClipboardPanelController::handleKey(int key) {
    const std::vector<ClipItem> shown = filteredClips(m_services.history.items(), m_model);
    const int count = static_cast<int>(shown.size());
    const int selected = m_model.selectedIndex();
    switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (selected >= 0 && selected < count)
            choose(shown[static_cast<size_t>(selected)]);
        return true;
    case Qt::Key_Escape:
        hide();
        return true;
    case Qt::Key_Left:
        m_model.setSelectedIndex(std::max(selected - 1, 0));
        return true;
    case Qt::Key_Right:
        m_model.setSelectedIndex(std::min(selected + 1, std::max(count - 1, 0)));
        return true;
    default:
        return false;
    }
}

void ClipboardPanelController::installMonitors() {
    removeMonitors();
    qApp->installEventFilter(this);
    m_monitoring = true;
    if (!m_services.monitors)
        return;
    // A click in another program closes the strip, whichever window has the keyboard; one in a
    // window of ours (the strip itself, Settings) does not, nor one that only closes our open menu.
    QPointer<ClipboardPanelController> self(this);
    m_clickMonitor = m_services.monitors->addGlobalMonitor(
        EventMask::leftMouseDown | EventMask::rightMouseDown, [self](const MonitoredEvent& event) {
            if (!self || event.inOwnWindow || QApplication::activePopupWidget())
                return;
            // The click gives the keyboard to what it went to; the strip gives back nothing.
            if (self->m_panel)
                self->m_panel->leaveKeyboard();
            self->hide();
        });
}

void ClipboardPanelController::removeMonitors() {
    if (!m_monitoring)
        return;
    // The application may be gone first at the end.
    if (qApp)
        qApp->removeEventFilter(this);
    m_monitoring = false;
    if (m_clickMonitor && m_services.monitors)
        m_services.monitors->removeMonitor(*m_clickMonitor);
    m_clickMonitor.reset();
}

bool ClipboardPanelController::eventFilter(QObject* watched, QEvent* event) {
    if (!m_panel)
        return false;
    if (event->type() == QEvent::KeyPress) {
        auto* widget = qobject_cast<QWidget*>(watched);
        // Keys typed into any other window of ours pass untouched.
        if (!widget || widget->window() != m_panel)
            return false;
        return handleKey(static_cast<QKeyEvent*>(event)->key());
    }
    if (event->type() == QEvent::WindowActivate && watched == m_panel.data())
        m_keyboard.activated();
    // Losing the keyboard (a window mapped in front, another gone full screen) leaves the strip up.
    if (event->type() == QEvent::WindowDeactivate && watched == m_panel.data())
        m_keyboard.deactivated();
    return false;
}

} // namespace corvane
