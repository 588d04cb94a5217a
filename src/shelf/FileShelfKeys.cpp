#include "shelf/FileShelfController.h"

#include "shelf/FileContextMenu.h"
#include "shelf/FilePanel.h"
#include "shelf/FileShelf.h"
#include "shelf/PreviewPanel.h"
#include "shelf/ShelfHost.h"
#include "shelf/ShelfListModel.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>

namespace corvane {

bool FileShelfController::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() != QEvent::KeyPress || !watched->isWidgetType())
        return false;
    QWidget* window = static_cast<QWidget*>(watched)->window();
    FilePanel* panel = nullptr;
    if (window == m_popover.get())
        panel = m_popover.get();
    for (const auto& [key, entry] : m_floating) {
        if (window == entry.second.get())
            panel = entry.second.get();
    }
    if (m_preview && window == m_preview.get())
        panel = m_preview->owner();
    if (!panel)
        return false;
    const auto* key = static_cast<QKeyEvent*>(event);
    return handleKeyDown(*panel, key->key(), key->modifiers());
}

void FileShelfController::openSelection(FilePanel& panel) {
    ShelfListModel* model = panel.model();
    // Taken once: entering a folder changes the list.
    const QList<ShelfFile> files = model->selectedFiles();
    if (const auto failure = openEach(files, [model](const ShelfFile& file) { return model->open(file); }))
        reportFailure(*failure);
}

void FileShelfController::reportFailure(const QString& message) {
    m_services.host.showFailure(message);
}

bool FileShelfController::handleKeyDown(FilePanel& panel, int key, Qt::KeyboardModifiers modifiers) {
    ShelfListModel* model = panel.model();
    if (!model)
        return false;
    QWidget* focus = panel.focusWidget();
    const bool editing = focus && qobject_cast<QLineEdit*>(focus) && focus->hasFocus();
    const bool control = modifiers.testFlag(Qt::ControlModifier);
    const bool shift = modifiers.testFlag(Qt::ShiftModifier);

    switch (key) {
    case Qt::Key_Space:
        if (editing)
            return false;
        panel.toggleQuickLook(preview());
        return true;
    case Qt::Key_Up:
    case Qt::Key_Down:
        if (control) {
            if (key == Qt::Key_Up)
                model->goBack();
            else
                openSelection(panel);
            return true;
        }
        if (editing)
            panel.setFocus(Qt::OtherFocusReason);
        // With several files selected the preview steps through them and leaves the selection as
        // it is, even when some of them are gone and fewer (or none) are left to show.
        if (!shift && m_preview && m_preview->isVisible() && m_preview->owner() == &panel &&
            model->selection().size() > 1) {
            m_preview->step(key == Qt::Key_Down ? 1 : -1);
            return true;
        }
        model->moveSelection(key == Qt::Key_Down ? 1 : -1, shift);
        return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
        if (editing || !model->source().isTray())
            return false;
        removeFromTray(m_services.shelf, model->selectedFiles());
        return true;
    case Qt::Key_A:
        if (!control || editing)
            return false;
        model->selectAll();
        return true;
    case Qt::Key_Return:
    case Qt::Key_Enter:
        if (model->selection().isEmpty())
            return false;
        openSelection(panel);
        return true;
    case Qt::Key_Escape:
        if (m_preview && m_preview->isVisible()) {
            m_preview->hide();
            panel.makeKeyWindow();
        } else if (&panel != m_popover.get()) {
            model->setSelection({});
            if (model->onSelectionChange)
                model->onSelectionChange();
        } else {
            closePopover();
        }
        return true;
    default:
        return false;
    }
}

} // namespace corvane
