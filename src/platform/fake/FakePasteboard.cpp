#include "platform/fake/FakePasteboard.h"

namespace corvane {

void FakePasteboard::write(const std::vector<std::pair<QString, QByteArray>>& representations) {
    copy(representations);
}

void FakePasteboard::copy(const std::vector<std::pair<QString, QByteArray>>& representations) {
    m_types.clear();
    m_data.clear();
    for (const auto& [type, bytes] : representations) {
        m_types.append(type);
        m_data.insert(type, bytes);
    }
    ++m_changes;
}

void FakePasteboard::copyText(const QString& text) {
    copy({{QStringLiteral("text/plain"), text.toUtf8()}});
}

} // namespace corvane
