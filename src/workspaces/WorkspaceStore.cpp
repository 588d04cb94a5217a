#include "workspaces/WorkspaceStore.h"

#include "platform/AtomicFile.h"
#include "platform/PrivateFiles.h"
#include "platform/StoredJson.h"

#include <QDateTime>
#include <QDir>
#include <QFile>
#include <QFileInfo>

#include <nlohmann/json.hpp>

#include <cerrno>
#include <cmath>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <unistd.h>

namespace corvane {

namespace {

using Json = nlohmann::json;

// Thrown inside the decoder only: any shape error makes the whole file undecodable.
struct DecodeFailure {};

const Json* member(const Json& object, const char* key) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null())
        return nullptr;
    return &*it;
}

const Json& required(const Json& object, const char* key) {
    const Json* value = member(object, key);
    if (!value)
        throw DecodeFailure{};
    return *value;
}

QString stringOf(const Json& value) {
    if (!value.is_string())
        throw DecodeFailure{};
    return QString::fromStdString(value.get<std::string>());
}

std::optional<QString> optionalString(const Json& object, const char* key) {
    const Json* value = member(object, key);
    if (!value)
        return std::nullopt;
    return stringOf(*value);
}

// An integer, also written as a number with a zero fraction; anything else fails.
int integerOf(const Json& value) {
    if (value.is_number_integer()) {
        if (value.is_number_unsigned()) {
            const auto n = value.get<std::uint64_t>();
            if (n > static_cast<std::uint64_t>(std::numeric_limits<int>::max()))
                throw DecodeFailure{};
            return static_cast<int>(n);
        }
        const auto n = value.get<std::int64_t>();
        if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
            throw DecodeFailure{};
        return static_cast<int>(n);
    }
    if (value.is_number_float()) {
        const double d = value.get<double>();
        if (std::trunc(d) != d || d < std::numeric_limits<int>::min() || d > std::numeric_limits<int>::max())
            throw DecodeFailure{};
        return static_cast<int>(d);
    }
    throw DecodeFailure{};
}

double numberOf(const Json& value) {
    if (!value.is_number())
        throw DecodeFailure{};
    return value.get<double>();
}

// The canonical 36-character form, in either case; braces and other spellings are refused.
QUuid uuidOf(const Json& value) {
    const QString text = stringOf(value);
    if (text.size() != 36)
        throw DecodeFailure{};
    for (qsizetype i = 0; i < text.size(); ++i) {
        const QChar c = text[i];
        const bool dash = i == 8 || i == 13 || i == 18 || i == 23;
        // ASCII only: the C classifier is undefined for the negative chars Latin-1 letters give.
        const bool hex = (c >= u'0' && c <= u'9') || (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (dash ? c != u'-' : !hex)
            throw DecodeFailure{};
    }
    return QUuid::fromString(text);
}

QRectF rectOf(const Json& value) {
    if (!value.is_array() || value.size() != 2)
        throw DecodeFailure{};
    const Json& origin = value[0];
    const Json& size = value[1];
    if (!origin.is_array() || origin.size() != 2 || !size.is_array() || size.size() != 2)
        throw DecodeFailure{};
    return QRectF(numberOf(origin[0]), numberOf(origin[1]), numberOf(size[0]), numberOf(size[1]));
}

WorkspaceItem itemOf(const Json& object) {
    if (!object.is_object())
        throw DecodeFailure{};
    WorkspaceItem item;
    item.id = uuidOf(required(object, "id"));
    item.bundleID = stringOf(required(object, "bundleID"));
    item.appName = optionalString(object, "appName");
    item.appPath = optionalString(object, "appPath");
    item.titleContains = optionalString(object, "titleContains");
    item.relativeFrame = rectOf(required(object, "relativeFrame"));
    item.screenID = optionalString(object, "screenID");
    if (const Json* args = member(object, "launchArgs")) {
        if (!args->is_array())
            throw DecodeFailure{};
        QStringList list;
        for (const Json& arg : *args)
            list.push_back(stringOf(arg));
        item.launchArgs = list;
    }
    return item;
}

Workspace workspaceOf(const Json& object) {
    if (!object.is_object())
        throw DecodeFailure{};
    Workspace workspace;
    workspace.id = uuidOf(required(object, "id"));
    workspace.name = stringOf(required(object, "name"));
    workspace.colorHex = stringOf(required(object, "colorHex"));
    if (const Json* slot = member(object, "hotkeyIndex"))
        workspace.hotkeyIndex = integerOf(*slot);
    const Json& items = required(object, "items");
    if (!items.is_array())
        throw DecodeFailure{};
    for (const Json& item : items)
        workspace.items.push_back(itemOf(item));
    if (const Json* layout = member(object, "layout")) {
        workspace.layout = fromRawValue<LayoutPreset>(stringOf(*layout));
        if (!workspace.layout)
            throw DecodeFailure{};
    }
    return workspace;
}

// Every workspace of the list; one that does not decode makes the whole list undecodable.
std::vector<Workspace> workspacesOf(const Json& array) {
    if (!array.is_array())
        throw DecodeFailure{};
    std::vector<Workspace> result;
    for (const Json& object : array)
        result.push_back(workspaceOf(object));
    return result;
}

std::string utf8(const QString& text) {
    return text.toStdString();
}

Json jsonOf(const QRectF& rect) {
    return Json::array({Json::array({rect.x(), rect.y()}), Json::array({rect.width(), rect.height()})});
}

bool isFinite(const QRectF& rect) {
    return std::isfinite(rect.x()) && std::isfinite(rect.y()) && std::isfinite(rect.width()) &&
           std::isfinite(rect.height());
}

QString uuidText(const QUuid& id) {
    return id.toString(QUuid::WithoutBraces).toUpper();
}

} // namespace

QString WorkspaceStoreError::description() const {
    switch (kind) {
    case Kind::unsupportedVersion:
        return QStringLiteral("The workspaces file has version %1, which this version cannot read")
            .arg(version);
    case Kind::unreadable:
        return QStringLiteral("The workspaces file could not be read: ") + detail;
    case Kind::unmovable:
        return QStringLiteral("The workspaces file is damaged and could not be moved aside: ") + detail;
    case Kind::encoding:
        return QStringLiteral("The workspaces could not be encoded: ") + detail;
    case Kind::writing:
        return QStringLiteral("The workspaces file could not be written: ") + detail;
    }
    return detail;
}

QString WorkspaceStore::defaultFileURL() {
    return corvaneDataFolder() + QStringLiteral("/workspaces.json");
}

std::optional<QByteArray> WorkspaceStore::encode(const std::vector<Workspace>& workspaces, QString* error) {
    // A JSON writer would turn a non-finite number into null, and the next load would then find
    // the file damaged: refuse to write such a list instead.
    Json list = Json::array();
    for (const Workspace& workspace : workspaces) {
        Json object = Json::object();
        object["colorHex"] = utf8(workspace.colorHex);
        if (workspace.hotkeyIndex)
            object["hotkeyIndex"] = *workspace.hotkeyIndex;
        object["id"] = utf8(uuidText(workspace.id));
        Json items = Json::array();
        for (const WorkspaceItem& item : workspace.items) {
            if (!isFinite(item.relativeFrame)) {
                if (error)
                    *error = QStringLiteral("a window frame of \u201c%1\u201d is not a finite number")
                                 .arg(workspace.name);
                return std::nullopt;
            }
            Json entry = Json::object();
            if (item.appName)
                entry["appName"] = utf8(*item.appName);
            if (item.appPath)
                entry["appPath"] = utf8(*item.appPath);
            entry["bundleID"] = utf8(item.bundleID);
            entry["id"] = utf8(uuidText(item.id));
            if (item.launchArgs) {
                Json args = Json::array();
                for (const QString& arg : *item.launchArgs)
                    args.push_back(utf8(arg));
                entry["launchArgs"] = std::move(args);
            }
            entry["relativeFrame"] = jsonOf(item.relativeFrame);
            if (item.screenID)
                entry["screenID"] = utf8(*item.screenID);
            if (item.titleContains)
                entry["titleContains"] = utf8(*item.titleContains);
            items.push_back(std::move(entry));
        }
        object["items"] = std::move(items);
        if (workspace.layout)
            object["layout"] = utf8(rawValue(*workspace.layout));
        object["name"] = utf8(workspace.name);
        list.push_back(std::move(object));
    }
    // nlohmann's object keeps its keys sorted, which is the order the file is written in.
    const Json file = {{"version", currentVersion}, {"workspaces", std::move(list)}};
    const std::string text = file.dump(2, ' ', false, Json::error_handler_t::replace) + '\n';
    return QByteArray::fromStdString(text);
}

std::optional<WorkspaceStoreError> WorkspaceStore::save(const std::vector<Workspace>& workspaces) {
    if (m_lastLoadFailed)
        return WorkspaceStoreError{WorkspaceStoreError::Kind::writing, 0,
                                   QStringLiteral("the file that failed to load is kept as it is")};

    QString encodingError;
    const std::optional<QByteArray> bytes = encode(workspaces, &encodingError);
    if (!bytes)
        return WorkspaceStoreError{WorkspaceStoreError::Kind::encoding, 0, encodingError};

    if (const auto error = writeStoredFile(m_filePath, *bytes, fileLimit))
        return WorkspaceStoreError{WorkspaceStoreError::Kind::writing, 0, *error};
    return std::nullopt;
}

WorkspaceStore::Decoded WorkspaceStore::decode(const QByteArray& bytes) {
    // Text that does not parse, or nests deeper than any file of ours, reads as neither layout.
    std::optional<Json> parsed = parseStoredJson(bytes);
    const Json document = parsed ? std::move(*parsed) : Json();
    parsed.reset();
    if (document.is_object()) {
        // A newer program's file is refused before its contents are judged: its workspaces may
        // have a shape this version does not know, and that must not get the file moved aside.
        if (const Json* version = member(document, "version"); version && version->is_number()) {
            try {
                const int found = integerOf(*version);
                if (found > currentVersion)
                    return {{},
                            false,
                            WorkspaceStoreError{WorkspaceStoreError::Kind::unsupportedVersion, found, {}}};
            } catch (const DecodeFailure&) {
                if (version->get<double>() > currentVersion)
                    return {{},
                            false,
                            WorkspaceStoreError{WorkspaceStoreError::Kind::unsupportedVersion,
                                                std::numeric_limits<int>::max(),
                                                {}}};
            }
        }
    }

    std::optional<std::vector<Workspace>> decoded;
    bool rewrite = false;
    try {
        if (document.is_object()) {
            const int version = integerOf(required(document, "version"));
            decoded = workspacesOf(required(document, "workspaces"));
            rewrite = version < currentVersion;
        } else if (document.is_array()) {
            decoded = workspacesOf(document);
            rewrite = true;
        }
    } catch (const DecodeFailure&) {
        decoded.reset();
    } catch (const Json::exception&) {
        decoded.reset();
    }
    if (!decoded)
        return {};
    return {std::move(decoded), rewrite, std::nullopt};
}

WorkspaceStore::LoadResult WorkspaceStore::load() {
    m_lastLoadFailed = false;
    LoadResult result = readFile();
    m_lastLoadFailed = result.error.has_value();
    return result;
}

WorkspaceStore::LoadResult WorkspaceStore::readFile() {
    const StoredFileRead stored = readStoredFile(m_filePath, fileLimit);
    if (stored.status == StoredFileRead::Status::missing)
        return {};
    if (stored.status == StoredFileRead::Status::unreadable)
        return {{}, WorkspaceStoreError{WorkspaceStoreError::Kind::unreadable, 0, stored.error}};
    const QByteArray& bytes = stored.bytes;

    Decoded decoded = decode(bytes);
    if (decoded.error)
        return {{}, decoded.error};
    if (decoded.workspaces) {
        if (decoded.olderLayout) {
            if (auto error = save(*decoded.workspaces))
                return {{}, error};
        }
        return {std::move(*decoded.workspaces), std::nullopt, std::nullopt};
    }

    // Damaged, even in a single workspace: the whole file goes aside as it is, and the list
    // starts empty rather than with some of what the file held.
    const std::optional<QString> aside = moveAside();
    if (!aside)
        return {{}, WorkspaceStoreError{WorkspaceStoreError::Kind::unmovable, 0, m_filePath}};
    return {{}, std::nullopt, aside};
}

std::optional<QString> WorkspaceStore::freeAsideName() const {
    const QFileInfo info(m_filePath);
    return corvane::freeAsideName(info.absolutePath() + QLatin1Char('/') + info.completeBaseName() +
                                      QStringLiteral(".corrupt-") +
                                      QString::number(QDateTime::currentSecsSinceEpoch()),
                                  QStringLiteral(".json"));
}

std::optional<QString> WorkspaceStore::moveAside() {
    const std::optional<QString> target = freeAsideName();
    if (!target || !QFile::rename(m_filePath, *target))
        return std::nullopt;
    return target;
}

} // namespace corvane
