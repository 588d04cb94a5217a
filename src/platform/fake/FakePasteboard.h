#pragma once

#include "platform/Pasteboard.h"

#include <QMap>

#include <deque>

namespace corvane {

// A clipboard in memory. `copy` is another program copying; `write` is the product's own. By
// default it is polled and reads answer at once; a test can have it report each copy as it
// happens, and hold reads back to answer them later, in any order.
class FakePasteboard final : public Pasteboard {
public:
    qint64 changeCount() override { return m_changes; }
    bool reportsChanges() const override { return reportChanges; }
    void setChangeHandler(std::function<void(qint64)> handler) override { m_handler = std::move(handler); }
    void read(TypePicker pick, ReadDone done) override;
    void cancelReads() override { m_held.clear(); }
    void write(const std::vector<std::pair<QString, QByteArray>>& representations) override;

    // Another program copies these representations (type, bytes), in this order.
    void copy(const std::vector<std::pair<QString, QByteArray>>& representations);
    void copyText(const QString& text);
    QByteArray data(const QString& type) const { return m_data.value(type); }

    // Types offered whose bytes a read cannot have: the owner refuses them, answers them in
    // another type or never answers them.
    QStringList refused;
    bool reportChanges = false;
    bool holdReads = false;
    // Reads held back, oldest first. Each answers with the content as it was when it began, or,
    // asked to, as it is now: a conversion that reaches the owner late meets whoever owns the
    // clipboard by then.
    size_t heldReads() const { return m_held.size(); }
    void answerHeldRead(size_t index, bool withCurrentContent = false);
    void failHeldRead(size_t index);

private:
    struct Held {
        TypePicker pick;
        PasteboardContent content;
        ReadDone done;
    };
    PasteboardContent content(const TypePicker& pick) const;

    QStringList m_types;
    QMap<QString, QByteArray> m_data;
    qint64 m_changes = 0;
    std::function<void(qint64)> m_handler;
    std::deque<Held> m_held;
};

} // namespace corvane
