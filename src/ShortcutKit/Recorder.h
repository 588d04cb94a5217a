#pragma once

#include "ShortcutKit/RecorderControl.h"
#include "ShortcutKit/RecorderServices.h"
#include "ShortcutKit/ShortcutSource.h"

#include <QPointer>
#include <QWidget>

class QLabel;

namespace corvane::ShortcutKit {

// A recorder as a settings page places it: the recording field alone, or a row with a label on
// the leading side and the field on the trailing side. The shortcut lives under a name in the
// store or in a binding the caller keeps; the conflict policy comes from the nearest ancestor
// that set one (the default otherwise) and is read again before every recording.
//
//     new Recorder(services, QStringLiteral("Toggle sidebar"), AppShortcuts::toggleSidebar(), {}, page);
//
// Main thread only.
class Recorder final : public QWidget {
    Q_OBJECT
public:
    using OnChange = RecorderControl::OnChange;
    using Validation = RecorderControl::Validation;

    // The field alone.
    Recorder(const RecorderServices& services, ShortcutSource source, OnChange onChange = {},
             QWidget* parent = nullptr);
    // A row with the title, shown as given.
    Recorder(const RecorderServices& services, const QString& title, ShortcutSource source,
             OnChange onChange = {}, QWidget* parent = nullptr);
    // A row with the caller's label widget, which the recorder takes over.
    Recorder(const RecorderServices& services, QWidget* label, ShortcutSource source, OnChange onChange = {},
             QWidget* parent = nullptr);
    ~Recorder() override;

    // The owner's extra check of every recorded shortcut; refusals show their reason.
    Recorder& withValidation(Validation validate);

    const ShortcutSource& shortcutSource() const { return m_source; }
    // Another name shows its shortcut at once; another binding is read at once.
    void setShortcutSource(ShortcutSource source);
    // Brings the field in line with its source and surroundings: a binding's value changed by
    // its owner (shown without calling onChange) and the conflict policy in force.
    void refresh();

    bool hasLabel() const { return m_label != nullptr; }
    QWidget* label() const { return m_label; }
    RecorderControl& control() { return *m_control; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    RecorderControl* makeControl(const RecorderServices& services);
    void handleChange(const std::optional<Shortcut>& shortcut);
    void layOut();

    ShortcutSource m_source;
    OnChange m_onChange;
    QWidget* m_label = nullptr;
    RecorderControl* m_control = nullptr;
};

} // namespace corvane::ShortcutKit
