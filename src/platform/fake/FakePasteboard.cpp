#include "platform/fake/FakePasteboard.h"

#include <utility>

namespace corvane {

PasteboardContent FakePasteboard::content(const TypePicker& pick) const {
    PasteboardContent content;
    content.types = m_types;
    for (const QString& type : pick(m_types))
        if (m_data.contains(type) && !refused.contains(type))
            content.data.insert(type, m_data.value(type));
    return content;
}

void FakePasteboard::read(TypePicker pick, ReadDone done) {
    if (holdReads) {
        PasteboardContent now = content(pick);
        m_held.push_back({std::move(pick), std::move(now), std::move(done)});
        return;
    }
    done(content(pick));
}

void FakePasteboard::answerHeldRead(size_t index, bool withCurrentContent) {
    Held held = std::move(m_held.at(index));
    m_held.erase(m_held.begin() + static_cast<std::ptrdiff_t>(index));
    held.done(withCurrentContent ? content(held.pick) : std::move(held.content));
}

void FakePasteboard::failHeldRead(size_t index) {
    Held held = std::move(m_held.at(index));
    m_held.erase(m_held.begin() + static_cast<std::ptrdiff_t>(index));
    held.done(std::nullopt);
}

void FakePasteboard::write(const std::vector<std::pair<QString, QByteArray>>& representations) {
    // The notice of the product's own write would come after the call; it says nothing new.
    const bool report = std::exchange(reportChanges, false);
    copy(representations);
    reportChanges = report;
}

void FakePasteboard::copy(const std::vector<std::pair<QString, QByteArray>>& representations) {
    m_types.clear();
    m_data.clear();
    for (const auto& [type, bytes] : representations) {
        m_types.append(type);
        m_data.insert(type, bytes);
    }
    ++m_changes;
    if (reportChanges && m_handler)
        m_handler(m_changes);
}

void FakePasteboard::copyText(const QString& text) {
    copy({{QStringLiteral("text/plain"), text.toUtf8()}});
}

} // namespace corvane
