#include "clipboard/ClipboardIndex.h"

#include "platform/StoredJson.h"

#include <QRegularExpression>
#include <QUuid>

#include <nlohmann/json.hpp>

namespace corvane {

namespace {

using json = nlohmann::json;

std::optional<QString> optionalString(const json& object, const char* key, bool& ok) {
    const auto it = object.find(key);
    if (it == object.end() || it->is_null())
        return std::nullopt;
    if (!it->is_string()) {
        ok = false;
        return std::nullopt;
    }
    return QString::fromStdString(it->get<std::string>());
}

std::optional<StoredClip> decodeRecord(const json& object) {
    if (!object.is_object())
        return std::nullopt;
    const auto id = object.find("id");
    const auto date = object.find("date");
    const auto type = object.find("type");
    if (id == object.end() || !id->is_string() || date == object.end() || !date->is_number() ||
        type == object.end() || !type->is_string())
        return std::nullopt;
    StoredClip record;
    record.id = QString::fromStdString(id->get<std::string>());
    if (QUuid::fromString(record.id).isNull())
        return std::nullopt;
    record.date = date->get<double>();
    record.type = QString::fromStdString(type->get<std::string>());
    bool ok = true;
    record.source = optionalString(object, "source", ok);
    record.text = optionalString(object, "text", ok);
    record.image = optionalString(object, "image", ok);
    if (const auto paths = object.find("paths"); paths != object.end() && !paths->is_null()) {
        if (!paths->is_array())
            return std::nullopt;
        QStringList list;
        for (const json& path : *paths) {
            if (!path.is_string())
                return std::nullopt;
            list.append(QString::fromStdString(path.get<std::string>()));
        }
        record.paths = list;
    }
    if (!ok)
        return std::nullopt;
    return record;
}

} // namespace

QByteArray encodeClipboardIndex(const std::vector<StoredClip>& records) {
    json array = json::array();
    for (const StoredClip& record : records) {
        json object = {
            {"id", record.id.toStdString()}, {"date", record.date}, {"type", record.type.toStdString()}};
        if (record.source)
            object["source"] = record.source->toStdString();
        if (record.text)
            object["text"] = record.text->toStdString();
        if (record.paths) {
            json paths = json::array();
            for (const QString& path : *record.paths)
                paths.push_back(path.toStdString());
            object["paths"] = paths;
        }
        if (record.image)
            object["image"] = record.image->toStdString();
        array.push_back(std::move(object));
    }
    return QByteArray::fromStdString(array.dump(-1, ' ', false, json::error_handler_t::replace));
}

std::optional<std::vector<StoredClip>> decodeClipboardIndex(const QByteArray& bytes, QString* error) {
    // The one reader of stored files refuses deep nesting before anything is parsed.
    const std::optional<json> parsed = parseStoredJson(bytes, error);
    if (!parsed)
        return std::nullopt;
    const json& document = *parsed;
    if (!document.is_array()) {
        if (error)
            *error = QStringLiteral("the document is not an array");
        return std::nullopt;
    }
    std::vector<StoredClip> records;
    records.reserve(document.size());
    for (const json& object : document) {
        std::optional<StoredClip> record = decodeRecord(object);
        if (!record) {
            if (error)
                *error = QStringLiteral("record %1 does not decode").arg(records.size() + 1);
            return std::nullopt;
        }
        records.push_back(std::move(*record));
    }
    return records;
}

QString storeImageName(const QString& id) {
    return id.toUpper() + QStringLiteral(".png");
}

bool isStoreImageName(const QString& name) {
    static const QRegularExpression form(
        QStringLiteral("\\A[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}\\.png\\z"));
    return form.match(name).hasMatch();
}

} // namespace corvane
