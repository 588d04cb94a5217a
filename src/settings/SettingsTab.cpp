#include "settings/SettingsTab.h"

#include "core/Colors.h"

#include <string_view>

namespace corvane {
namespace {

struct TabFacts {
    std::string_view rawValue;
    const char* title;
    const char* symbol;
};

// In ordinal order; the sidebar lists the pages exactly so.
constexpr std::array<TabFacts, 13> facts = {{
    {"general", "General", "gearshape.fill"},
    {"appearance", "Sidebar", "sidebar.left"},
    {"files", "Files & Tray", "folder.fill"},
    {"clipboard", "Clipboard", "doc.on.clipboard.fill"},
    {"keepAwake", "Keep Awake", "cup.and.saucer.fill"},
    {"snapWheel", "Snap Wheel", "circle.circle.fill"},
    {"layouts", "Layouts", "rectangle.split.2x2.fill"},
    {"workspaces", "Workspaces", "square.stack.3d.up.fill"},
    {"mouse", "Mouse", "computermouse.fill"},
    {"hotkeys", "Hotkeys", "command"},
    {"excluded", "Excluded Apps", "eye.slash.fill"},
    {"permissions", "Permissions", "lock.shield.fill"},
    {"about", "About", "info.circle.fill"},
}};

const TabFacts* factsOf(SettingsTab tab) {
    const auto index = static_cast<size_t>(tab);
    return index < facts.size() ? &facts[index] : nullptr;
}

// The desktop's usual named colours, as the light appearance draws them.
namespace Tints {
const QColor gray(142, 142, 147);
const QColor cyan(50, 173, 230);
const QColor indigo(88, 86, 214);
const QColor brown(162, 132, 94);
const QColor blue(0, 122, 255);
const QColor teal(48, 176, 199);
const QColor purple(175, 82, 222);
const QColor orange(255, 149, 0);
const QColor pink(255, 45, 85);
const QColor green(52, 199, 89);
} // namespace Tints

} // namespace

const std::array<SettingsTab, 13>& allSettingsTabs() {
    static const std::array<SettingsTab, 13> tabs = [] {
        std::array<SettingsTab, 13> list{};
        for (size_t i = 0; i < list.size(); ++i)
            list[i] = static_cast<SettingsTab>(i);
        return list;
    }();
    return tabs;
}

QString rawValue(SettingsTab tab) {
    const TabFacts* f = factsOf(tab);
    if (!f)
        return {};
    return QString::fromLatin1(f->rawValue.data(), static_cast<qsizetype>(f->rawValue.size()));
}

SettingsTab settingsTabFromRawValue(const QString& raw) {
    for (size_t i = 0; i < facts.size(); ++i) {
        if (raw == QLatin1String(facts[i].rawValue.data(), static_cast<qsizetype>(facts[i].rawValue.size())))
            return static_cast<SettingsTab>(i);
    }
    return SettingsTab::keep;
}

SettingsTab settingsTabFromOrdinal(int ordinal) {
    if (ordinal < 0 || ordinal >= static_cast<int>(facts.size()))
        return SettingsTab::keep;
    return static_cast<SettingsTab>(ordinal);
}

QString title(SettingsTab tab) {
    const TabFacts* f = factsOf(tab);
    return f ? QString::fromUtf8(f->title) : QString();
}

QString symbolName(SettingsTab tab) {
    const TabFacts* f = factsOf(tab);
    return f ? QString::fromLatin1(f->symbol) : QString();
}

QColor tint(SettingsTab tab) {
    switch (tab) {
    case SettingsTab::general:
        return Tints::gray;
    case SettingsTab::appearance:
        return brandColor();
    case SettingsTab::files:
        return Tints::cyan;
    case SettingsTab::clipboard:
        return Tints::indigo;
    case SettingsTab::keepAwake:
        return Tints::brown;
    case SettingsTab::snapWheel:
        return Tints::blue;
    case SettingsTab::layouts:
        return Tints::teal;
    case SettingsTab::workspaces:
        return Tints::purple;
    case SettingsTab::mouse:
        return Tints::gray;
    case SettingsTab::hotkeys:
        return Tints::orange;
    case SettingsTab::excluded:
        return Tints::pink;
    case SettingsTab::permissions:
        return Tints::green;
    case SettingsTab::about:
        return Tints::indigo;
    case SettingsTab::keep:
        break;
    }
    return Tints::gray;
}

} // namespace corvane
