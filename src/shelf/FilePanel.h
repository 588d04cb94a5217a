#pragma once

#include "core/FloatingPanel.h"

#include <memory>

namespace corvane {

class PreviewPanel;
class ShelfListModel;

// The panel of a file list (and of the clipboard strip): a floating panel that can take the
// keyboard, so that its search field and keys reach it. Showing it never takes the keyboard
// from the program the user works in; a click into its text field does, and so do the views'
// own actions. When it hides while it has the keyboard, the keyboard goes back to the window that
// had it before.
class FilePanel : public FloatingPanel {
    Q_OBJECT
public:
    FilePanel(PanelWindowing& windowing, const QRect& contentRect, int level,
              Surface surface = Surface::translucent);
    ~FilePanel() override;

    // The list shown; none for the clipboard strip. Setting one releases the previous one.
    ShelfListModel* model() const { return m_model.get(); }
    void setModel(std::unique_ptr<ShelfListModel> model);

    // Shows the preview of the selection, or hides the preview wherever it shows. Nothing shows
    // without a selection of files that exist.
    void toggleQuickLook(PreviewPanel& preview);

    // Takes the keyboard, remembering which window to give it back to.
    void makeKeyWindow();
    // The other program's window the keyboard goes back to; 0 when none is known.
    quint64 returnFocusWindow() const { return m_returnFocusTo; }
    // Gives the keyboard back to the program that had it before the panel took it, if any; once
    // for each time the panel takes it.
    void giveKeyboardBack();
    // The keyboard stays where it goes next (a click elsewhere took it): until the panel takes it
    // again, nothing gives it back.
    void leaveKeyboard() { m_gaveKeyboardBack = true; }

    // Rounds the panel's outline to this radius (also without a compositing manager, where a
    // translucent corner would show black).
    void setCornerRadius(double radius);

    void setVisible(bool visible) override;

Q_SIGNALS:
    // After every move of the panel, by the user or the program.
    void frameMoved();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void rememberActiveWindow();
    // Whether the window manager may give the panel the keyboard when it is clicked into.
    void refuseKeyboardOnClick(bool refuse);
    void updateMask();

    PanelWindowing& m_windowing;
    std::unique_ptr<ShelfListModel> m_model;
    quint64 m_returnFocusTo = 0;
    bool m_gaveKeyboardBack = false;
    double m_cornerRadius = 0;
};

} // namespace corvane
