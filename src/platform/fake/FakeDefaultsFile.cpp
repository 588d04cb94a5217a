#include "platform/fake/FakeDefaultsFile.h"

namespace corvane {

DefaultsFile::LoadResult FakeDefaultsFile::load() {
    ++loadCount;
    LoadResult result;
    if (failNextLoad || failLoads) {
        failNextLoad = false;
        result.status = LoadResult::Status::failed;
        result.error = QStringLiteral("scripted load failure");
        return result;
    }
    if (document.is_null())
        return result;
    result.status = LoadResult::Status::loaded;
    result.document = document;
    return result;
}

std::optional<QString> FakeDefaultsFile::save(const Json& saved) {
    if (failSaves)
        return QStringLiteral("No space left on device");
    document = saved;
    ++saveCount;
    return std::nullopt;
}

std::optional<QString> FakeDefaultsFile::setAside() {
    setAsideCalled = true;
    if (failLoads)
        return std::nullopt; // the damaged file could not be moved
    setAsideDocument = std::move(document);
    document = Json();
    return QStringLiteral("defaults.json.damaged");
}

} // namespace corvane
