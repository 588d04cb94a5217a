#pragma once

#include "platform/UserDefaults.h"

namespace corvane {

// The defaults document in memory. A null `document` stands for "no file yet". Tests keep a raw
// pointer to it after handing it to UserDefaults, preload what was "on disk" and script failures.
class FakeDefaultsFile final : public DefaultsFile {
public:
    FakeDefaultsFile() = default;
    explicit FakeDefaultsFile(Json preloaded) : document(std::move(preloaded)) {}

    void preload(Json preloaded) { document = std::move(preloaded); }

    LoadResult load() override;
    std::optional<QString> save(const Json& saved) override;
    std::optional<QString> setAside() override;

    Json document; // what the last successful save wrote (or the preloaded document)
    int loadCount = 0;
    int saveCount = 0;         // successful saves
    bool failNextLoad = false; // the next load reports a damaged file
    bool failLoads = false;    // every load does, as when the file cannot be moved aside
    bool failSaves = false;
    bool setAsideCalled = false;
    Json setAsideDocument; // what was on "disk" when it was set aside
};

} // namespace corvane
