#pragma once

#include "ShortcutKit/ConflictPolicy.h"
#include "ShortcutKit/Name.h"
#include "ShortcutKit/RecorderServices.h"
#include "ShortcutKit/Shortcut.h"
#include "ShortcutKit/ValidationResult.h"
#include "runtime/NotificationCenter.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <optional>

class QAbstractButton;
class QKeyEvent;
class QToolButton;

namespace corvane::ShortcutKit {

class LocalEventMonitor;

// The field in which the user sets, replaces or removes one keyboard shortcut. It shows the
// current shortcut's text and a clear button. Clicked (or reached with Tab) it records: the
// application's global hot keys are paused and its own shortcuts held back, the next key
// combination is checked (a real modifier is needed except for the function keys, then the
// conflict policy and the owner's validation), and an accepted one is stored and reported,
// which ends recording. Escape cancels, Tab moves on, Backspace or Delete removes the shortcut.
//
// The shortcut lives either in the store under a name (other recorders of the same name and a
// reset show at once) or, in binding mode, in the control itself for its owner to keep.
// Main thread only.
class RecorderControl final : public QWidget {
    Q_OBJECT
public:
    enum class StorageMode { name, binding };
    using OnChange = std::function<void(const std::optional<Shortcut>&)>;
    using Validation = std::function<ValidationResult(const Shortcut&)>;

    // Wide enough for the longest shortcuts as a PC keyboard names them ("Ctrl+Alt+Backspace").
    static constexpr int minimumWidth = 180;
    // A mouse button released this far outside the field (in points) does not end recording.
    static constexpr qreal clickMargin = 3;

    // Name mode: shows and writes the shortcut stored for `name`.
    RecorderControl(const RecorderServices& services, const Name& name, OnChange onChange = {},
                    QWidget* parent = nullptr);
    // Binding mode: holds `shortcut` itself and never touches the store.
    RecorderControl(const RecorderServices& services, const std::optional<Shortcut>& shortcut,
                    OnChange onChange = {}, QWidget* parent = nullptr);
    ~RecorderControl() override;

    StorageMode storageMode() const { return m_storageMode; }

    // The stored shortcut of the name (name mode) or the one held (binding mode).
    std::optional<Shortcut> shortcut() const;
    // Stores the value (name mode) or holds it (binding mode) and shows it, unless it is what
    // is there already. Never calls onChange.
    void setShortcut(const std::optional<Shortcut>& shortcut);

    // In binding mode a name with an empty raw value and no default.
    const Name& shortcutName() const { return m_shortcutName; }
    // A name with another raw value shows its shortcut at once.
    void setShortcutName(const Name& name);
    void setValidateShortcut(Validation validate) { m_validateShortcut = std::move(validate); }
    ConflictPolicy conflictPolicy() const { return m_conflictPolicy; }
    void setConflictPolicy(const ConflictPolicy& policy) { m_conflictPolicy = policy; }

    bool isRecording() const { return m_isRecording; }
    // The shortcut's text, empty without one.
    QString text() const { return m_text; }
    // "record_shortcut" while idle, "press_shortcut" while recording.
    QString placeholderText() const { return m_placeholder; }
    // Shown exactly while there is text.
    QAbstractButton* clearButton() const;

    // The control recording now, if any; at most one records at a time.
    static RecorderControl* activeRecorder() { return s_activeRecorder; }

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    RecorderControl(const RecorderServices& services, StorageMode mode, const Name& name,
                    const std::optional<Shortcut>& binding, OnChange onChange, QWidget* parent);

    void startRecording();
    void endRecording();
    // Whether the key press was swallowed; false passes it on.
    bool handleKeyPress(QKeyEvent& event);
    bool handleMouseRelease(QEvent& event);
    void accept(const Shortcut& shortcut);
    // The clear button: removes the shortcut and stays ready to record.
    void clear();
    // Whether the user wants the shortcut despite the collision.
    bool showConflictAlert(ConflictBehavior behavior, const QString& message,
                           const std::optional<QString>& informativeText);
    // Ends recording for the alert and records again once it is answered. Answers the button.
    int showAlert(const QString& message, const std::optional<QString>& informativeText,
                  const QStringList& buttons);
    void updateText();
    void updateClearButton();
    void setPlaceholder(const QString& text);
    void focusToRecord();
    void observeName();

    RecorderServices m_services;
    OnChange m_onChange;
    StorageMode m_storageMode;
    std::optional<Shortcut> m_bindingShortcut;
    Validation m_validateShortcut;
    ConflictPolicy m_conflictPolicy;
    Name m_shortcutName;

    QString m_text;
    QString m_placeholder;
    QToolButton* m_clearButton = nullptr;
    // Present only while recording; a child of the field. Released with deleteLater: it may be
    // the caller.
    QPointer<LocalEventMonitor> m_eventMonitor;
    ObserverToken m_nameObserver;
    bool m_isRecording = false;
    // Focus given back after an alert or a clear records even when it comes with the window's
    // activation; focus that only returns with the window does not.
    bool m_recordOnNextFocus = false;

    static QPointer<RecorderControl> s_activeRecorder;
};

} // namespace corvane::ShortcutKit
