#include "settings/SettingsView.h"

#include "settings/SettingsNavigation.h"
#include "settings/SettingsPage.h"
#include "settings/SettingsSidebar.h"

#include <QHBoxLayout>
#include <QSplitter>
#include <QStackedWidget>

namespace corvane {

SettingsView::SettingsView(const SettingsServices& services, SettingsNavigation& nav, QWidget* parent)
    : QWidget(parent), m_services(services), m_nav(nav) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    // The content follows the window's size and never asks for a bigger one.
    layout->setSizeConstraint(QLayout::SetNoConstraint);

    auto* split = new QSplitter(Qt::Horizontal);
    split->setChildrenCollapsible(false);
    m_sidebar = new SettingsSidebar(nav);
    m_pages = new QStackedWidget;
    split->addWidget(m_sidebar);
    split->addWidget(m_pages);
    split->setStretchFactor(0, 0);
    split->setStretchFactor(1, 1);
    split->setSizes({SettingsSidebar::idealWidth, 1000});
    layout->addWidget(split);

    showTab(nav.tab());
    connect(&nav, &SettingsNavigation::tabChanged, this, &SettingsView::showTab);
}

SettingsPage* SettingsView::currentPage() const {
    return qobject_cast<SettingsPage*>(m_pages->currentWidget());
}

SettingsPage* SettingsView::builtPage(SettingsTab tab) const {
    const auto found = m_built.find(tab);
    return found == m_built.end() ? nullptr : found->second;
}

void SettingsView::showTab(SettingsTab tab) {
    SettingsPage* page = builtPage(tab);
    if (!page) {
        page = m_services.makePage(tab, m_nav);
        m_built[tab] = page;
        m_pages->addWidget(page);
    }
    m_pages->setCurrentWidget(page);
}

} // namespace corvane
