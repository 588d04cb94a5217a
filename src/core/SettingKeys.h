#pragma once

#include "core/SettingBounds.h"
#include "core/Settings.h"

#include <QLatin1String>
#include <QObject>
#include <QString>

#include <utility>

namespace corvane {

// One key of the settings store as a typed handle: its stored name, reader and writer. Code that
// names a key takes one of these, so a misspelt key does not compile and a control can only be
// bound to a key of the type it edits.
template <typename T> struct SettingKey {
    const char* name;
    T (Settings::*get)() const;
    void (Settings::*set)(T);

    QString key() const { return QString::fromLatin1(name); }
    T read(const Settings& settings) const { return (settings.*get)(); }
    void write(Settings& settings, T value) const { (settings.*set)(std::move(value)); }
    // Whether `key` (the object of a change notification) names this key.
    bool is(const QString& key) const { return key == QLatin1String(name); }
};

// Runs `react` after every assignment of one of `keys`, for as long as `owner` lives. A feature
// follows its own keys this way rather than comparing names, so a misspelt key does not compile.
template <typename React, typename... T>
QMetaObject::Connection onSettingChange(const Settings& settings, const QObject* owner, React react,
                                        const SettingKey<T>&... keys) {
    static_assert(sizeof...(T) > 0, "name the keys to follow");
    return QObject::connect(&settings, &Settings::changed, owner,
                            [react = std::move(react), ... keys = keys](const QString& key) mutable {
                                if ((keys.is(key) || ...))
                                    react();
                            });
}

// The handle of every key, named as the key: `SettingKeys::autoHide`.
namespace SettingKeys {
#define CORVANE_SETTING_KEY(Type, name, setter, fallback, ...)                                               \
    inline constexpr SettingKey<Type> name{#name, &Settings::name, &Settings::setter};
CORVANE_SETTINGS(CORVANE_SETTING_KEY)
#undef CORVANE_SETTING_KEY
} // namespace SettingKeys

// The default of each key, named as the key: `SettingDefaults::clipboardLimit()`.
namespace SettingDefaults {
#define CORVANE_SETTING_DEFAULT(Type, name, setter, fallback, ...)                                           \
    inline Type name() {                                                                                     \
        return fallback;                                                                                     \
    }
CORVANE_SETTINGS(CORVANE_SETTING_DEFAULT)
#undef CORVANE_SETTING_DEFAULT
} // namespace SettingDefaults

// The values offered for each key whose row declares them, named as the key:
// `SettingRanges::clipboardLimit` (a SettingRange or SettingValues of the key's type).
namespace SettingRanges {
#define CORVANE_SETTING_RANGE(Type, name, setter, fallback, ...)                                             \
    __VA_OPT__(inline constexpr auto name = SettingBounds<Type>::__VA_ARGS__;)
CORVANE_SETTINGS(CORVANE_SETTING_RANGE)
#undef CORVANE_SETTING_RANGE
} // namespace SettingRanges

} // namespace corvane
