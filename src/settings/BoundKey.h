#pragma once

#include "core/SettingKeys.h"

#include <QString>
#include <QStringList>

#include <functional>
#include <utility>
#include <vector>

class QObject;

namespace corvane {

// The options of a picker: each value with its label, in the order shown.
template <typename T> using Choices = std::vector<std::pair<T, QString>>;

// A choice of the store seen as an index into its options: what pickers bind to. `read` gives -1
// when the stored value is none of the options.
struct ChoiceBinding {
    QString key;
    QStringList labels;
    // Runs a refresh now and again after each change of the key, for as long as the owner lives.
    std::function<void(Settings& settings, QObject* owner, std::function<void()> refresh)> follow;
    std::function<int()> read;
    std::function<void(int)> write;
};

// The values a key offers (its declared SettingValues), in the declared order, each with the label
// at the same place in `labels`; a list of the wrong length does not compile.
template <typename T, size_t N>
Choices<T> labelled(const SettingValues<T, N>& offered, const QString (&labels)[N]) {
    Choices<T> choices;
    for (size_t i = 0; i < N; ++i)
        choices.emplace_back(offered.values[i], labels[i]);
    return choices;
}

// The same, each label made from its value.
template <typename T, size_t N, typename Label>
Choices<T> labelled(const SettingValues<T, N>& offered, Label label) {
    Choices<T> choices;
    for (const T& value : offered)
        choices.emplace_back(value, label(value));
    return choices;
}

// Runs `refresh` now and again after each change of `key`, for as long as `owner` lives.
template <typename T>
void followSetting(Settings& settings, SettingKey<T> key, QObject* owner, std::function<void()> refresh) {
    refresh();
    onSettingChange(settings, owner, std::move(refresh), key);
}

// Runs `refresh` now and again after each change of any preference, for as long as `owner` lives.
void followSettings(Settings& settings, QObject* owner, std::function<void()> refresh);

template <typename T> ChoiceBinding bindChoices(Settings& settings, SettingKey<T> key, Choices<T> choices) {
    ChoiceBinding binding;
    binding.key = key.key();
    binding.follow = [key](Settings& store, QObject* owner, std::function<void()> refresh) {
        followSetting(store, key, owner, std::move(refresh));
    };
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

} // namespace corvane
