#include "settings/BoundRow.h"

#include "settings/BoundKey.h"

#include <QObject>
#include <QWidget>

namespace corvane {
namespace {

// The condition a row follows, kept as a child of the row so it goes with it.
class RowCondition : public QObject {
public:
    RowCondition(QWidget* row, std::function<bool()> condition, bool hides)
        : QObject(row), m_row(row), m_condition(std::move(condition)), m_hides(hides) {}

    void apply() {
        const bool holds = m_condition();
        if (m_hides)
            m_row->setVisible(holds);
        else
            m_row->setEnabled(holds);
    }

private:
    QWidget* m_row;
    std::function<bool()> m_condition;
    bool m_hides;
};

void follow(Settings& settings, QWidget* row, std::function<bool()> condition, bool hides) {
    auto* rule = new RowCondition(row, std::move(condition), hides);
    followSettings(settings, rule, [rule] { rule->apply(); });
}

} // namespace

void showWhile(Settings& settings, QWidget* row, std::function<bool()> condition) {
    follow(settings, row, std::move(condition), true);
}

void enableWhile(Settings& settings, QWidget* row, std::function<bool()> condition) {
    follow(settings, row, std::move(condition), false);
}

void refreshBoundRows(QWidget* page) {
    for (QObject* child : page->findChildren<QObject*>()) {
        if (auto* rule = dynamic_cast<RowCondition*>(child))
            rule->apply();
    }
}

} // namespace corvane
