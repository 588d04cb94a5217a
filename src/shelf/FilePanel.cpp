#include "shelf/FilePanel.h"

#include "platform/PanelWindowing.h"
#include "shelf/PreviewPanel.h"
#include "shelf/ShelfListModel.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QWindow>

namespace corvane {

namespace {

bool isOwnWindow(quint64 id) {
    const auto windows = QGuiApplication::allWindows();
    // Another program's window that a panel keeps as a stand-in (to stay above it while it is
    // full screen) is still that program's.
    return std::any_of(windows.begin(), windows.end(), [id](const QWindow* w) {
        return w->type() != Qt::ForeignWindow && w->handle() && w->winId() == id;
    });
}

// Whether a click at `point` lands in a text field, which needs the keyboard to be typed into.
bool isTypingClick(const QWidget& panel, QPoint point) {
    for (const QWidget* widget = panel.childAt(point); widget && widget != &panel;
         widget = widget->parentWidget()) {
        if (widget->testAttribute(Qt::WA_InputMethodEnabled) && (widget->focusPolicy() & Qt::ClickFocus))
            return true;
    }
    return false;
}

} // namespace

FilePanel::FilePanel(PanelWindowing& windowing, const QRect& contentRect, int level, Surface surface)
    : FloatingPanel(windowing, contentRect, level, false, true, surface), m_windowing(windowing) {
    // Shown without the keyboard (as every panel is). A click into its text field hands it over,
    // and so do the views' own actions (a file row's press); a click anywhere else leaves the
    // keyboard where it was, and within the panel with the view that had it.
    setFocusPolicy(Qt::NoFocus);
    if (QWindow* window = windowHandle())
        window->installEventFilter(this);
}

FilePanel::~FilePanel() = default;

void FilePanel::setModel(std::unique_ptr<ShelfListModel> model) {
    m_model = std::move(model);
    if (m_model)
        m_model->setShown(isVisible());
}

void FilePanel::rememberActiveWindow() {
    const quint64 active = m_windowing.activeWindow();
    // Our own panels hand the keyboard on among themselves; what matters is the user's program.
    // With none in front, an older one is not brought back.
    if (active == 0)
        m_returnFocusTo = 0;
    else if (!isOwnWindow(active))
        m_returnFocusTo = active;
}

void FilePanel::refuseKeyboardOnClick(bool refuse) {
    // A window manager gives the keyboard to a window clicked into unless the window says it takes
    // none; a window no window manager takes in gets it only when it asks.
    QWindow* window = windowHandle();
    if (!window || windowFlags().testFlag(Qt::BypassWindowManagerHint) ||
        window->flags().testFlag(Qt::WindowDoesNotAcceptFocus) == refuse)
        return;
    window->setFlag(Qt::WindowDoesNotAcceptFocus, refuse);
}

void FilePanel::makeKeyWindow() {
    rememberActiveWindow();
    m_gaveKeyboardBack = false;
    refuseKeyboardOnClick(false);
    // A window being mapped goes on top by itself; asking for that as well would only hold the
    // window manager up before it takes the window in.
    const QWindow* window = windowHandle();
    if (window && window->isExposed())
        raise();
    activateWindow();
    // A window no window manager manages takes the keyboard itself, and at once: asked through
    // the toolkit, the request can carry an older time than the keyboard's last hand-over and be
    // ignored.
    if (window && window->isExposed() && windowFlags().testFlag(Qt::BypassWindowManagerHint))
        m_windowing.giveKeyboard(winId());
}

void FilePanel::giveKeyboardBack() {
    // Given back once, it stays where it went: the toolkit still counts the panel active a moment
    // after it lost the keyboard, and a click elsewhere meanwhile must keep it.
    if (m_returnFocusTo == 0 || m_gaveKeyboardBack)
        return;
    m_gaveKeyboardBack = true;
    // From a window no window manager manages, the keyboard goes back directly, in turn with
    // this program's own requests: asked of a window manager running late, the hand-over could
    // come after the panel opened again and take the keyboard from it.
    if (windowFlags().testFlag(Qt::BypassWindowManagerHint))
        m_windowing.giveKeyboard(m_returnFocusTo);
    else
        m_windowing.activateWindow(m_returnFocusTo);
}

void FilePanel::setCornerRadius(double radius) {
    m_cornerRadius = radius;
    updateMask();
}

void FilePanel::updateMask() {
    // The panel cuts its window to the outline where it must, and casts its shadow around it.
    setOutline(m_cornerRadius > 0 ? roundedOutline(m_cornerRadius) : Outline());
}

bool FilePanel::eventFilter(QObject* watched, QEvent* event) {
    if (watched == windowHandle() && event->type() == QEvent::MouseButtonPress && !isActiveWindow() &&
        isTypingClick(*this, static_cast<QMouseEvent*>(event)->position().toPoint()))
        makeKeyWindow();
    return FloatingPanel::eventFilter(watched, event);
}

void FilePanel::showEvent(QShowEvent* event) {
    // Before the window is mapped: what the window manager reads then counts.
    refuseKeyboardOnClick(true);
    FloatingPanel::showEvent(event);
    rememberActiveWindow();
    m_gaveKeyboardBack = false;
}

void FilePanel::changeEvent(QEvent* event) {
    FloatingPanel::changeEvent(event);
    // Once it has lost the keyboard, a click anywhere but its text field leaves it elsewhere again.
    if (event->type() == QEvent::ActivationChange && !isActiveWindow())
        refuseKeyboardOnClick(true);
}

void FilePanel::setVisible(bool visible) {
    // Read before hiding: once hidden the panel has lost the keyboard to whatever the desktop chose.
    const bool handBack = !visible && isVisible() && isActiveWindow();
    FloatingPanel::setVisible(visible);
    // A hidden list waits with its relisting until it shows again.
    if (m_model)
        m_model->setShown(visible);
    if (handBack)
        giveKeyboardBack();
}

void FilePanel::moveEvent(QMoveEvent* event) {
    FloatingPanel::moveEvent(event);
    Q_EMIT frameMoved();
}

void FilePanel::toggleQuickLook(PreviewPanel& preview) {
    if (preview.isVisible()) {
        preview.hide();
        makeKeyWindow();
        return;
    }
    const QList<QUrl> urls = m_model ? m_model->selectedURLs() : QList<QUrl>();
    if (urls.isEmpty())
        return;
    preview.showFor(*this, urls);
    // The keyboard stays with the list, so the arrows keep moving the selection.
    makeKeyWindow();
}

void FilePanel::resizeEvent(QResizeEvent* event) {
    FloatingPanel::resizeEvent(event);
}

} // namespace corvane
