#include "sidebar/WindowDragPayload.h"

#include <limits>

namespace corvane::WindowDragPayload {

QString text(uint32_t windowID) {
    return QString::number(windowID);
}

std::unique_ptr<QMimeData> mimeData(uint32_t windowID) {
    auto data = std::make_unique<QMimeData>();
    data->setText(text(windowID));
    return data;
}

std::optional<uint32_t> parse(const QString& text) {
    qsizetype at = 0;
    bool negative = false;
    if (!text.isEmpty() && (text[0] == u'+' || text[0] == u'-')) {
        negative = text[0] == u'-';
        at = 1;
    }
    if (at == text.size())
        return std::nullopt;
    uint64_t value = 0;
    for (; at < text.size(); ++at) {
        const QChar c = text[at];
        if (c < u'0' || c > u'9')
            return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(c.unicode() - u'0');
        if (value > std::numeric_limits<uint32_t>::max())
            return std::nullopt;
    }
    if (negative && value != 0)
        return std::nullopt;
    return static_cast<uint32_t>(value);
}

QStringList texts(const QMimeData& data) {
    if (!data.hasText())
        return {};
    QStringList lines = data.text().split(u'\n');
    for (QString& line : lines) {
        if (line.endsWith(u'\r'))
            line.chop(1);
    }
    return lines;
}

std::vector<uint32_t> windowIDs(const QStringList& texts) {
    std::vector<uint32_t> ids;
    for (const QString& text : texts) {
        if (std::optional<uint32_t> id = parse(text))
            ids.push_back(*id);
    }
    return ids;
}

} // namespace corvane::WindowDragPayload
