#pragma once

#include <QString>
#include <QWidget>

class QLabel;
class QVBoxLayout;

namespace corvane {

// One section of a settings page in the grouped style: an optional header text above a rounded
// box whose rows are separated by thin lines. A labelled row puts its label on the leading side
// and its control on the trailing side.
class FormSection : public QWidget {
    Q_OBJECT
public:
    explicit FormSection(const QString& header = {}, QWidget* parent = nullptr);

    QString header() const { return m_header; }
    // Each gives back the row, which hides with its separator line.
    QWidget* addRow(const QString& label, QWidget* control);
    // A row that is one widget across.
    QWidget* addRow(QWidget* content);
    int rowCount() const { return m_rows; }

private:
    QWidget* addRowWidget(QWidget* content);

    QString m_header;
    QWidget* m_box = nullptr;
    QVBoxLayout* m_boxLayout = nullptr;
    int m_rows = 0;
};

// A smaller line in the secondary colour, wrapping as needed: a toggle's description or a
// caption under a control.
QLabel* captionLabel(const QString& text);

// A warning: the text in orange after the warning sign.
QWidget* warningLabel(const QString& text);

} // namespace corvane
