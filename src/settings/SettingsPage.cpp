#include "settings/SettingsPage.h"

#include "settings/FormSection.h"

#include <QLabel>
#include <QScrollArea>
#include <QVBoxLayout>

namespace corvane {

SettingsPage::SettingsPage(SettingsTab tab, QWidget* parent) : QWidget(parent), m_tab(tab) {
    setObjectName(rawValue(tab));
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);

    auto* heading = new QLabel(corvane::title(tab));
    heading->setObjectName(QStringLiteral("pageTitle"));
    heading->setTextFormat(Qt::PlainText);
    QFont font = heading->font();
    font.setPixelSize(20);
    font.setWeight(QFont::Bold);
    heading->setFont(font);
    heading->setContentsMargins(24, 18, 24, 10);
    layout->addWidget(heading);

    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    // A click on the page's empty space takes the focus from nothing: a shortcut field that
    // records goes on recording when the click lands just beside it, and ends by its own rule.
    scroll->setFocusPolicy(Qt::TabFocus);
    auto* column = new QWidget;
    m_form = new QVBoxLayout(column);
    m_form->setContentsMargins(24, 4, 24, 24);
    m_form->setSpacing(18);
    m_form->addStretch(1);
    scroll->setWidget(column);
    layout->addWidget(scroll, 1);
}

QString SettingsPage::title() const {
    return corvane::title(m_tab);
}

FormSection* SettingsPage::addSection(const QString& header) {
    auto* section = new FormSection(header);
    // Before the trailing stretch, which keeps the sections at the top.
    m_form->insertWidget(m_form->count() - 1, section);
    return section;
}

} // namespace corvane
