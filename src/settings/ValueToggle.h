#pragma once

#include <QWidget>

#include <functional>

class QAbstractButton;

namespace corvane {

// A switch row like a bound toggle, for a value that is not one key of the store: a service's
// state (launch at login, the updater) or a value made of several keys. It shows what `read`
// gives and hands each flip to `write`, then reads again, so it shows what the owner now reports.
// The page calls `refresh` when the owner announces a change.
class ValueToggle : public QWidget {
    Q_OBJECT
public:
    ValueToggle(const QString& title, const QString& description, std::function<bool()> read,
                std::function<void(bool)> write, QWidget* parent = nullptr);

    void refresh();
    QAbstractButton& button() const { return *m_switch; }
    bool isOn() const;

private:
    std::function<bool()> m_read;
    QAbstractButton* m_switch = nullptr;
};

} // namespace corvane
