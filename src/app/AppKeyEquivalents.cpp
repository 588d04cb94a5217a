#include "app/AppKeyEquivalents.h"

#include "ShortcutKit/RecorderControl.h"
#include "ShortcutKit/ShortcutConflicts.h"

#include <QApplication>
#include <QKeyEvent>
#include <QWidget>

namespace corvane {

AppKeyEquivalents::AppKeyEquivalents(std::function<void()> openSettings, std::function<void()> quit,
                                     QObject* parent)
    : QObject(parent), m_openSettings(std::move(openSettings)), m_quit(std::move(quit)) {
    qApp->installEventFilter(this);
}

AppKeyEquivalents::~AppKeyEquivalents() {
    qApp->removeEventFilter(this);
}

bool AppKeyEquivalents::handle(const QKeyEvent& event) {
    const Qt::KeyboardModifiers modifiers = event.modifiers() & ~Qt::KeypadModifier;
    if (modifiers != Qt::ControlModifier || event.isAutoRepeat())
        return false;
    const std::function<void()>* action = nullptr;
    if (event.key() == Qt::Key_Comma)
        action = &m_openSettings;
    else if (event.key() == Qt::Key_Q)
        action = &m_quit;
    if (!action || !*action)
        return false;
    // An open menu closes first, as choosing its item would have closed it.
    if (QWidget* popup = QApplication::activePopupWidget())
        popup->close();
    (*action)();
    return true;
}

std::vector<ShortcutKit::MenuKeyEquivalent> AppKeyEquivalents::menuItems() {
    return {{QKeySequence(Qt::CTRL | Qt::Key_Comma), QStringLiteral("Settings\u2026")},
            {QKeySequence(Qt::CTRL | Qt::Key_Q), QStringLiteral("Quit Corvane")}};
}

bool AppKeyEquivalents::eventFilter(QObject* watched, QEvent* event) {
    // Only key presses meant for one of Corvane's widgets; each reaches the filter once per
    // receiver on its way up, so the window's own widget takes it and the rest never see it.
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    if (ShortcutKit::RecorderControl::activeRecorder())
        return false;
    return handle(*static_cast<QKeyEvent*>(event));
}

} // namespace corvane
