#pragma once

#include <QWidget>

class QLabel;

namespace corvane {

// The lid-closed mode's permission, as a row of the Keep Awake and Permissions pages. Keeping
// awake with the lid closed needs nothing installed here: the login service holds the lid switch
// for the user's own session, and lets go when Corvane stops or quits. So the row only says so,
// with the green shield, and offers nothing to install or remove; where no login service
// answers, it says the mode cannot work.
class LidPermissionRow : public QWidget {
    Q_OBJECT
public:
    // `lidHoldOffered`: a login service that can hold the lid answers; without one the row says
    // that the mode cannot work, in orange.
    explicit LidPermissionRow(bool lidHoldOffered, QWidget* parent = nullptr);

    QLabel& titleLabel() const { return *m_title; }
    QLabel& detailLabel() const { return *m_detail; }

private:
    QLabel* m_title = nullptr;
    QLabel* m_detail = nullptr;
};

} // namespace corvane
