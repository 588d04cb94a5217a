#pragma once

#include "core/Settings.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class QObject;

namespace corvane {

// One key of the settings store as a typed handle: its stored name, reader and writer. The bound
// controls take these, so a control can only be bound to a key of the type it edits.
template <typename T> struct SettingKey {
    const char* name;
    T (Settings::*get)() const;
    void (Settings::*set)(T);

    QString key() const { return QString::fromLatin1(name); }
    T read(const Settings& settings) const { return (settings.*get)(); }
    void write(Settings& settings, T value) const { (settings.*set)(std::move(value)); }
};

// The handle of every key, named as the key: `SettingKeys::autoHide`.
namespace SettingKeys {
#define CORVANE_SETTING_KEY(Type, name, setter, fallback)                                                    \
    inline constexpr SettingKey<Type> name{#name, &Settings::name, &Settings::setter};
CORVANE_SETTINGS(CORVANE_SETTING_KEY)
#undef CORVANE_SETTING_KEY
} // namespace SettingKeys

// The options of a picker: each value with its label, in the order shown.
template <typename T> using Choices = std::vector<std::pair<T, QString>>;

// A choice of the store seen as an index into its options: what pickers bind to. `read` gives -1
// when the stored value is none of the options.
struct ChoiceBinding {
    QString key;
    QStringList labels;
    std::function<int()> read;
    std::function<void(int)> write;
};

template <typename T> ChoiceBinding bindChoices(Settings& settings, SettingKey<T> key, Choices<T> choices) {
    ChoiceBinding binding;
    binding.key = key.key();
    std::vector<T> values;
    for (auto& [value, label] : choices) {
        values.push_back(value);
        binding.labels << label;
    }
    binding.read = [&settings, key, values] {
        const T stored = key.read(settings);
        for (size_t i = 0; i < values.size(); ++i)
            if (values[i] == stored)
                return static_cast<int>(i);
        return -1;
    };
    binding.write = [&settings, key, values](int index) {
        if (index >= 0 && static_cast<size_t>(index) < values.size())
            key.write(settings, values[static_cast<size_t>(index)]);
    };
    return binding;
}

// Runs `refresh` now and again after each change of `key` (every key when `key` is empty) for as
// long as `owner` lives.
void followSetting(Settings& settings, const QString& key, QObject* owner, std::function<void()> refresh);

} // namespace corvane
