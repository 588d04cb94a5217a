#include "clipboard/ClipboardIndex.h"

#include "platform/StoredJson.h"

#include <QRegularExpression>
#include <QUuid>

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cstdio>

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
        FileList list;
        for (const json& path : *paths) {
            if (!path.is_string())
                return std::nullopt;
            list.append(QString::fromStdString(path.get_ref<const std::string&>()));
        }
        list.squeeze();
        record.paths = std::move(list);
    }
    if (!ok)
        return std::nullopt;
    return record;
}

// Gathers the index's bytes into pieces of a few kilobytes for the writer it hands them to.
struct IndexWriter {
    const std::function<bool(QByteArrayView)>& out;
    QByteArray buffer = QByteArray();
    bool ok = true;

    static constexpr qsizetype pieceSize = 64 * 1024;

    void put(QByteArrayView bytes) {
        buffer.append(bytes);
        if (buffer.size() >= pieceSize)
            flush();
    }
    bool flush() {
        if (ok && !buffer.isEmpty())
            ok = out(buffer);
        // Its room is kept for the next piece.
        buffer.resize(0);
        return ok;
    }
    // A JSON string: UTF-8, with the quote, the backslash and the control characters escaped, the
    // short forms where JSON has one. Taken a slice at a time, never splitting a surrogate pair.
    void string(QStringView text) {
        put("\"");
        constexpr qsizetype slice = 4096;
        for (qsizetype start = 0; start < text.size() && ok;) {
            qsizetype length = std::min(slice, text.size() - start);
            if (start + length < text.size() && text[start + length - 1].isHighSurrogate())
                --length;
            const QByteArray utf8 = text.sliced(start, length).toUtf8();
            start += length;
            qsizetype plain = 0;
            for (qsizetype i = 0; i < utf8.size(); ++i) {
                const auto c = static_cast<unsigned char>(utf8[i]);
                if (c >= 0x20 && c != '"' && c != '\\')
                    continue;
                put(QByteArrayView(utf8).sliced(plain, i - plain));
                plain = i + 1;
                putEscaped(c);
            }
            put(QByteArrayView(utf8).sliced(plain));
        }
        put("\"");
    }
    void member(const char* name, const QString& value) {
        put(",\"");
        put(name);
        put("\":");
        string(value);
    }
    void putEscaped(unsigned char c) {
        switch (c) {
        case '"':
            return put("\\\"");
        case '\\':
            return put("\\\\");
        case '\b':
            return put("\\b");
        case '\f':
            return put("\\f");
        case '\n':
            return put("\\n");
        case '\r':
            return put("\\r");
        case '\t':
            return put("\\t");
        default: {
            char code[7];
            std::snprintf(code, sizeof code, "\\u%04x", c);
            return put(QByteArrayView(code, 6));
        }
        }
    }
};

} // namespace

bool writeClipboardIndex(const std::vector<StoredClip>& records,
                         const std::function<bool(QByteArrayView)>& out) {
    IndexWriter writer{out};
    writer.put("[");
    bool firstRecord = true;
    for (const StoredClip& record : records) {
        writer.put(firstRecord ? "{" : ",{");
        firstRecord = false;
        // The members in the order of their names, as an object of the reader's library writes
        // them.
        writer.put("\"date\":");
        writer.put(QByteArray::fromStdString(json(record.date).dump()));
        writer.member("id", record.id);
        if (record.image)
            writer.member("image", *record.image);
        if (record.paths) {
            writer.put(",\"paths\":[");
            bool firstPath = true;
            record.paths->forEach([&](QStringView path) {
                writer.put(firstPath ? "" : ",");
                firstPath = false;
                writer.string(path);
            });
            writer.put("]");
        }
        if (record.source)
            writer.member("source", *record.source);
        if (record.text)
            writer.member("text", *record.text);
        writer.member("type", record.type);
        writer.put("}");
        if (!writer.ok)
            return false;
    }
    writer.put("]");
    return writer.flush();
}

qint64 clipboardIndexSize(const std::vector<StoredClip>& records) {
    qint64 size = 0;
    writeClipboardIndex(records, [&](QByteArrayView bytes) {
        size += bytes.size();
        return true;
    });
    return size;
}

QByteArray encodeClipboardIndex(const std::vector<StoredClip>& records) {
    QByteArray bytes;
    writeClipboardIndex(records, [&](QByteArrayView piece) {
        bytes.append(piece);
        return true;
    });
    return bytes;
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
