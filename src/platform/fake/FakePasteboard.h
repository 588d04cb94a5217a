#pragma once

#include "platform/Pasteboard.h"

#include <QMap>

namespace corvane {

// A clipboard in memory. `copy` is another program copying; `write` is the product's own.
class FakePasteboard final : public Pasteboard {
public:
    qint64 changeCount() override { return m_changes; }
    QStringList types() override { return m_types; }
    QByteArray data(const QString& type) override { return m_data.value(type); }
    void write(const std::vector<std::pair<QString, QByteArray>>& representations) override;

    // Another program copies these representations (type, bytes), in this order.
    void copy(const std::vector<std::pair<QString, QByteArray>>& representations);
    void copyText(const QString& text);
    int reads() const { return m_reads; }

private:
    QStringList m_types;
    QMap<QString, QByteArray> m_data;
    qint64 m_changes = 0;
    int m_reads = 0;
};

} // namespace corvane
