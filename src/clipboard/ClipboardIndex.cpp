#include "clipboard/ClipboardIndex.h"

#include <QRegularExpression>
#include <QUuid>

#include <nlohmann/json.hpp>

namespace corvane {

namespace {

using json = nlohmann::json;

// An index is an array of objects holding at most an array of paths: three levels. Anything
// deeper is not an index, and parsing stops there rather than building it.
constexpr int maximumDepth = 3;

struct TooDeep {};

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

std::optional<std::vector<StoredClip>> decodeClipboardIndex(const QByteArray& bytes) {
    json document;
    try {
        const json::parser_callback_t limitDepth = [](int depth, json::parse_event_t, json&) {
            if (depth > maximumDepth)
                throw TooDeep{};
            return true;
        };
        document = json::parse(bytes.constData(), bytes.constData() + bytes.size(), limitDepth);
    } catch (const TooDeep&) {
        return std::nullopt;
    } catch (const json::exception&) {
        return std::nullopt;
    }
    if (!document.is_array())
        return std::nullopt;
    std::vector<StoredClip> records;
    records.reserve(document.size());
    for (const json& object : document) {
        std::optional<StoredClip> record = decodeRecord(object);
        if (!record)
            return std::nullopt;
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
