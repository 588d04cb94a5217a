#include "ShortcutKit/RecorderControl.h"

#include "ShortcutKit/LocalEventMonitor.h"
#include "ShortcutKit/RecorderAlerts.h"
#include "ShortcutKit/RecorderTexts.h"
#include "ShortcutKit/Registry.h"
#include "ShortcutKit/ShortcutConflicts.h"
#include "ShortcutKit/ShortcutNotifications.h"
#include "platform/ApplicationHost.h"

#include <QFocusEvent>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>
#include <QStyleOptionFrame>
#include <QToolButton>

namespace corvane::ShortcutKit {

QPointer<RecorderControl> RecorderControl::s_activeRecorder;

namespace {
constexpr int fieldHeight = 24;

// Modifier keys arrive as key presses of their own; they only ever accompany a combination.
bool isModifierKey(int key) {
    switch (key) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Meta:
    case Qt::Key_Alt:
    case Qt::Key_AltGr:
    case Qt::Key_Super_L:
    case Qt::Key_Super_R:
    case Qt::Key_Hyper_L:
    case Qt::Key_Hyper_R:
    case Qt::Key_CapsLock:
    case Qt::Key_NumLock:
    case Qt::Key_ScrollLock:
    case Qt::Key_Mode_switch:
        return true;
    default:
        return false;
    }
}

bool isFunctionKey(int key) {
    return key >= Qt::Key_F1 && key <= Qt::Key_F35;
}
} // namespace

RecorderControl::RecorderControl(const RecorderServices& services, const Name& name, OnChange onChange,
                                 QWidget* parent)
    : RecorderControl(services, StorageMode::name, name, std::nullopt, std::move(onChange), parent) {
    observeName();
}

RecorderControl::RecorderControl(const RecorderServices& services, const std::optional<Shortcut>& shortcut,
                                 OnChange onChange, QWidget* parent)
    : RecorderControl(services, StorageMode::binding, Name(), shortcut, std::move(onChange), parent) {}

RecorderControl::RecorderControl(const RecorderServices& services, StorageMode mode, const Name& name,
                                 const std::optional<Shortcut>& binding, OnChange onChange, QWidget* parent)
    : QWidget(parent), m_services(services), m_onChange(std::move(onChange)), m_storageMode(mode),
      m_bindingShortcut(binding), m_shortcutName(name) {
    setFocusPolicy(Qt::StrongFocus);
    setAttribute(Qt::WA_InputMethodEnabled, false);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
    setCursor(Qt::IBeamCursor);

    m_clearButton = new QToolButton(this);
    m_clearButton->setFocusPolicy(Qt::NoFocus);
    m_clearButton->setAutoRaise(true);
    m_clearButton->setCursor(Qt::ArrowCursor);
    m_clearButton->setIcon(style()->standardIcon(QStyle::SP_LineEditClearButton));
    m_clearButton->setToolTip(tr("Clear"));
    connect(m_clearButton, &QToolButton::clicked, this, [this] { clear(); });

    setPlaceholder(recorderText("record_shortcut"));
    updateText();
}

RecorderControl::~RecorderControl() {
    endRecording();
}

QAbstractButton* RecorderControl::clearButton() const {
    return m_clearButton;
}

void RecorderControl::observeName() {
    QPointer<RecorderControl> self(this);
    m_nameObserver =
        m_services.notifications.addObserver(shortcutByNameDidChange, [self](const Notification& note) {
            if (!self)
                return;
            // Another recorder of the same name, or a reset: show what is stored now.
            const std::optional<Name> name = ShortcutKit::shortcutName(note);
            if (name && name->rawValue == self->m_shortcutName.rawValue)
                self->updateText();
        });
}

// --- The shortcut ---

std::optional<Shortcut> RecorderControl::shortcut() const {
    if (m_storageMode == StorageMode::binding)
        return m_bindingShortcut;
    return m_services.shortcuts.getShortcut(m_shortcutName);
}

void RecorderControl::setShortcut(const std::optional<Shortcut>& value) {
    if (m_storageMode == StorageMode::binding) {
        if (value == m_bindingShortcut)
            return;
        m_bindingShortcut = value;
        updateText();
        return;
    }
    if (value == shortcut())
        return;
    m_services.shortcuts.setShortcut(value, m_shortcutName);
    updateText();
}

void RecorderControl::setShortcutName(const Name& name) {
    const bool changed = name.rawValue != m_shortcutName.rawValue;
    m_shortcutName = name;
    if (changed)
        updateText();
}

// --- What the field shows ---

void RecorderControl::updateText() {
    const std::optional<Shortcut> current = shortcut();
    m_text = current ? current->description(m_services.shortcuts.keyboard()) : QString();
    updateClearButton();
    update();
}

void RecorderControl::updateClearButton() {
    m_clearButton->setVisible(!m_text.isEmpty());
}

void RecorderControl::setPlaceholder(const QString& text) {
    m_placeholder = text;
    update();
}

QSize RecorderControl::sizeHint() const {
    return {minimumWidth, std::max(fieldHeight, fontMetrics().height() + 8)};
}

QSize RecorderControl::minimumSizeHint() const {
    return sizeHint();
}

void RecorderControl::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    const int side = height() - 4;
    m_clearButton->setGeometry(width() - side - 2, 2, side, side);
}

void RecorderControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    QStyleOptionFrame frame;
    frame.initFrom(this);
    frame.lineWidth = style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &frame, this);
    frame.midLineWidth = 0;
    frame.state |= QStyle::State_Sunken;
    style()->drawPrimitive(QStyle::PE_PanelLineEdit, &frame, &painter, this);

    // The text is centred in the whole field; the clear button sits over its trailing end.
    const QRect textRect = rect().adjusted(height(), 0, -height(), 0);
    if (!m_text.isEmpty()) {
        painter.setPen(palette().color(QPalette::Text));
        painter.drawText(textRect, Qt::AlignCenter,
                         fontMetrics().elidedText(m_text, Qt::ElideRight, textRect.width()));
    } else {
        painter.setPen(palette().color(QPalette::PlaceholderText));
        painter.drawText(textRect, Qt::AlignCenter,
                         fontMetrics().elidedText(m_placeholder, Qt::ElideRight, textRect.width()));
    }
}

// --- Recording ---

void RecorderControl::focusInEvent(QFocusEvent* event) {
    QWidget::focusInEvent(event);
    const bool returnsWithWindow =
        event->reason() == Qt::ActiveWindowFocusReason || event->reason() == Qt::PopupFocusReason;
    // Focus that merely comes back with the window does not record: the user did not ask.
    if (returnsWithWindow && !std::exchange(m_recordOnNextFocus, false))
        return;
    m_recordOnNextFocus = false;
    startRecording();
}

void RecorderControl::focusOutEvent(QFocusEvent* event) {
    QWidget::focusOutEvent(event);
    endRecording();
}

void RecorderControl::hideEvent(QHideEvent* event) {
    QWidget::hideEvent(event);
    endRecording();
}

void RecorderControl::mousePressEvent(QMouseEvent* event) {
    QWidget::mousePressEvent(event);
    // Focused without recording (the window came back): a click records.
    if (hasFocus() && !m_isRecording)
        startRecording();
}

void RecorderControl::startRecording() {
    if (m_isRecording || !window()->isVisible())
        return;
    m_isRecording = true;
    setPlaceholder(recorderText("press_shortcut"));
    updateClearButton();

    s_activeRecorder = this;
    // The desktop gives every combination back, so the keys reach this field.
    m_services.shortcuts.setPaused(true);
    // Combinations another program holds (a window manager's Ctrl+Alt+arrows) would go to it:
    // taking the keyboard while recording brings every key here.
    grabKeyboard();
    m_services.notifications.post(recorderActiveStatusDidChange, {}, {{QStringLiteral("isActive"), true}});

    QPointer<RecorderControl> self(this);
    auto* monitor = new LocalEventMonitor({QEvent::MouseButtonRelease}, [self](QObject*, QEvent* event) {
        return self ? self->handleMouseRelease(*event) : false;
    });
    monitor->setParent(this);
    m_eventMonitor = monitor;
    monitor->start();
}

void RecorderControl::endRecording() {
    if (m_eventMonitor) {
        m_eventMonitor->stop();
        m_eventMonitor->deleteLater();
        m_eventMonitor = nullptr;
    }
    if (!m_isRecording)
        return;
    m_isRecording = false;
    releaseKeyboard();
    setPlaceholder(recorderText("record_shortcut"));
    updateClearButton();
    // A recorder that another one has taken over from changes nothing global.
    if (s_activeRecorder != this)
        return;
    s_activeRecorder = nullptr;
    m_services.shortcuts.setPaused(false);
    m_services.notifications.post(recorderActiveStatusDidChange, {}, {{QStringLiteral("isActive"), false}});
}

bool RecorderControl::event(QEvent* event) {
    switch (event->type()) {
    case QEvent::ShortcutOverride:
        // While recording, every combination is for this field: no shortcut of the
        // application's own windows may take it.
        if (m_isRecording) {
            event->accept();
            return true;
        }
        break;
    case QEvent::KeyPress:
        if (m_isRecording && handleKeyPress(static_cast<QKeyEvent&>(*event)))
            return true;
        break;
    default:
        break;
    }
    return QWidget::event(event);
}

bool RecorderControl::handleMouseRelease(QEvent& event) {
    auto& mouse = static_cast<QMouseEvent&>(event);
    if (mouse.button() != Qt::LeftButton && mouse.button() != Qt::RightButton)
        return false;
    const QPointF point = mapFromGlobal(mouse.globalPosition());
    const QRectF area = QRectF(rect()).adjusted(-clickMargin, -clickMargin, clickMargin, clickMargin);
    if (!area.contains(point))
        clearFocus();
    // The click goes on to whatever it was meant for.
    return false;
}

bool RecorderControl::handleKeyPress(QKeyEvent& event) {
    const int key = event.key();
    if (isModifierKey(key))
        return true;

    const quint64 pressed = ModifierFlags::fromQt(event.modifiers()).rawValue &
                            ~(ModifierFlags::capsLock | ModifierFlags::numericPad);
    if (pressed == 0) {
        switch (key) {
        case Qt::Key_Tab:
        case Qt::Key_Backtab: {
            // Tab moves on as usual; recording ends with the focus.
            QPointer<RecorderControl> self(this);
            QWidget::event(&event);
            if (self && hasFocus())
                clearFocus();
            return true;
        }
        case Qt::Key_Backspace:
        case Qt::Key_Delete:
            if (m_clearButton->isVisible())
                clear();
            return true;
        case Qt::Key_Escape:
            clearFocus();
            return true;
        default:
            break;
        }
    }

    // A real modifier is needed; Shift alone does not count. Only the function keys may go without.
    const quint64 real = pressed & ~(ModifierFlags::shift | ModifierFlags::function);
    if (real == 0 && !isFunctionKey(key)) {
        m_services.host.beep();
        return true;
    }

    const std::optional<Shortcut> recorded = Shortcut::fromKeyEvent(event, m_services.shortcuts.keyboard());
    if (!recorded) {
        m_services.host.beep();
        return true;
    }

    QPointer<RecorderControl> self(this);
    // The shortcut the field holds already is no collision with itself.
    if (recorded != shortcut()) {
        if (const std::optional<QString> item = m_services.conflicts.menuItemUsing(*recorded)) {
            const QString message = recorderText("keyboard_shortcut_used_by_menu_item").arg(*item);
            const bool use = showConflictAlert(m_conflictPolicy.menuItem, message, std::nullopt);
            if (!self || !use)
                return true;
        }
    }

    if (m_conflictPolicy.disallowed != ConflictBehavior::allow &&
        m_services.conflicts.isDisallowed(*recorded)) {
        showAlert(recorderText("keyboard_shortcut_disallowed"), std::nullopt, {});
        return true;
    }

    if (m_services.conflicts.isTakenBySystem(*recorded)) {
        const bool use = showConflictAlert(m_conflictPolicy.systemShortcut,
                                           recorderText("keyboard_shortcut_used_by_system"),
                                           recorderText("keyboard_shortcuts_can_be_changed"));
        if (!self || !use)
            return true;
    }

    if (m_validateShortcut) {
        const ValidationResult result = m_validateShortcut(*recorded);
        if (!self)
            return true;
        if (!result.isAllowed()) {
            showAlert(result.reason, std::nullopt, {});
            return true;
        }
    }

    accept(*recorded);
    return true;
}

void RecorderControl::accept(const Shortcut& recorded) {
    QPointer<RecorderControl> self(this);
    m_text = recorded.description(m_services.shortcuts.keyboard());
    updateClearButton();
    update();
    if (m_storageMode == StorageMode::binding)
        m_bindingShortcut = recorded;
    else
        m_services.shortcuts.setShortcut(recorded, m_shortcutName);
    if (m_onChange)
        m_onChange(recorded);
    if (self)
        clearFocus();
}

void RecorderControl::clear() {
    QPointer<RecorderControl> self(this);
    m_text.clear();
    update();
    if (m_storageMode == StorageMode::binding)
        m_bindingShortcut.reset();
    else
        m_services.shortcuts.setShortcut(std::nullopt, m_shortcutName);
    if (m_onChange)
        m_onChange(std::nullopt);
    if (!self)
        return;
    updateClearButton();
    // The field stays ready for a new combination.
    focusToRecord();
}

void RecorderControl::focusToRecord() {
    if (!window()->isVisible())
        return;
    if (hasFocus()) {
        startRecording();
        return;
    }
    m_recordOnNextFocus = true;
    setFocus(Qt::OtherFocusReason);
}

bool RecorderControl::showConflictAlert(ConflictBehavior behavior, const QString& message,
                                        const std::optional<QString>& informativeText) {
    switch (behavior) {
    case ConflictBehavior::block:
        showAlert(message, informativeText, {});
        return false;
    case ConflictBehavior::warn:
        return showAlert(message, informativeText,
                         {recorderText("ok"), recorderText("force_use_shortcut")}) ==
               RecorderAlerts::secondButton;
    case ConflictBehavior::allow:
        return true;
    }
    return false;
}

int RecorderControl::showAlert(const QString& message, const std::optional<QString>& informativeText,
                               const QStringList& buttons) {
    QPointer<RecorderControl> self(this);
    // Recording stops while the alert is up, so the hot keys work and nothing is captured.
    clearFocus();
    endRecording();
    const int response = m_services.alerts.showAlert(window(), message, informativeText, buttons);
    if (self)
        focusToRecord();
    return response;
}

} // namespace corvane::ShortcutKit
