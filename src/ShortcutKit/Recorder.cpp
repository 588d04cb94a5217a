#include "ShortcutKit/Recorder.h"

#include "ShortcutKit/ConflictPolicyEnvironment.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>

namespace corvane::ShortcutKit {

Recorder::Recorder(const RecorderServices& services, ShortcutSource source, OnChange onChange,
                   QWidget* parent)
    : QWidget(parent), m_source(std::move(source)), m_onChange(std::move(onChange)) {
    m_control = makeControl(services);
    layOut();
}

Recorder::Recorder(const RecorderServices& services, const QString& title, ShortcutSource source,
                   OnChange onChange, QWidget* parent)
    : Recorder(services, new QLabel(title), std::move(source), std::move(onChange), parent) {}

Recorder::Recorder(const RecorderServices& services, QWidget* label, ShortcutSource source, OnChange onChange,
                   QWidget* parent)
    : QWidget(parent), m_source(std::move(source)), m_onChange(std::move(onChange)), m_label(label) {
    m_control = makeControl(services);
    layOut();
}

Recorder::~Recorder() = default;

RecorderControl* Recorder::makeControl(const RecorderServices& services) {
    // The control calls back here; the view's latest callback and binding are used at that time.
    auto onChange = [this](const std::optional<Shortcut>& shortcut) { handleChange(shortcut); };
    RecorderControl* control = nullptr;
    if (const Name* name = std::get_if<Name>(&m_source)) {
        control = new RecorderControl(services, *name, onChange, this);
    } else {
        const ShortcutBinding& binding = std::get<ShortcutBinding>(m_source);
        control = new RecorderControl(services, binding.get ? binding.get() : std::nullopt, onChange, this);
    }
    control->setConflictPolicy(shortcutKitConflictPolicy(this));
    // The policy in force is read again just before the field starts recording.
    control->installEventFilter(this);
    return control;
}

void Recorder::layOut() {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    if (m_label) {
        row->addWidget(m_label);
        row->addStretch(1);
    }
    row->addWidget(m_control);
}

Recorder& Recorder::withValidation(Validation validate) {
    m_control->setValidateShortcut(std::move(validate));
    return *this;
}

void Recorder::setShortcutSource(ShortcutSource source) {
    m_source = std::move(source);
    refresh();
}

void Recorder::refresh() {
    m_control->setConflictPolicy(shortcutKitConflictPolicy(this));
    if (const Name* name = std::get_if<Name>(&m_source)) {
        m_control->setShortcutName(*name);
        return;
    }
    const ShortcutBinding& binding = std::get<ShortcutBinding>(m_source);
    // A value the owner changed shows without counting as the user's change.
    if (binding.get)
        m_control->setShortcut(binding.get());
}

void Recorder::handleChange(const std::optional<Shortcut>& shortcut) {
    if (const ShortcutBinding* binding = std::get_if<ShortcutBinding>(&m_source); binding && binding->set)
        binding->set(shortcut);
    if (m_onChange) {
        // A copy: the callback may replace itself.
        const OnChange onChange = m_onChange;
        onChange(shortcut);
    }
}

bool Recorder::event(QEvent* event) {
    if (event->type() == QEvent::ParentChange && m_control)
        m_control->setConflictPolicy(shortcutKitConflictPolicy(this));
    return QWidget::event(event);
}

bool Recorder::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_control &&
        (event->type() == QEvent::FocusIn || event->type() == QEvent::MouseButtonPress))
        refresh();
    return QWidget::eventFilter(watched, event);
}

} // namespace corvane::ShortcutKit
