#pragma once

#include "settings/SettingsTab.h"

#include <QWidget>

class QVBoxLayout;

namespace corvane {

class FormSection;

// One page of the settings window: the page's title as its heading, then its sections in a
// column that scrolls when it is taller than the window, so no page ever resizes the window.
// A page with nothing of its own to show yet is just this.
class SettingsPage : public QWidget {
    Q_OBJECT
public:
    explicit SettingsPage(SettingsTab tab, QWidget* parent = nullptr);

    SettingsTab tab() const { return m_tab; }
    QString title() const;

protected:
    // Appends a section (with a header text, or none) to the column and gives it back.
    FormSection* addSection(const QString& header = {});
    QVBoxLayout& form() { return *m_form; }

private:
    SettingsTab m_tab;
    QVBoxLayout* m_form = nullptr;
};

} // namespace corvane
