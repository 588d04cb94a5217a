#pragma once

#include <QString>
#include <QWidget>

class QFrame;
class QLabel;
class QPushButton;
class QToolButton;
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
    // Changes the header text of a section made with one.
    void setHeader(const QString& header);
    // Each gives back the row, which hides with its separator line.
    QWidget* addRow(const QString& label, QWidget* control);
    // A row that is one widget across.
    QWidget* addRow(QWidget* content);
    int rowCount() const { return m_rows; }

private:
    QWidget* addRowWidget(QWidget* content);

    QString m_header;
    QLabel* m_headerLabel = nullptr;
    QWidget* m_box = nullptr;
    QVBoxLayout* m_boxLayout = nullptr;
    int m_rows = 0;
};

// Text in the secondary colour (the text colour at 60 %) of `pixelSize`, wrapping as needed.
QLabel* secondaryLabel(const QString& text, int pixelSize);
// A toggle's description or a caption under a control: secondary text of 11 pixels.
QLabel* captionLabel(const QString& text);

// A thin line in a faint text colour, across (horizontal) or down (vertical).
QFrame* divider(Qt::Orientation orientation);

// The one button of a group that stands out: white text on the brand colour.
QPushButton* prominentButton(const QString& text);

// A borderless button showing one of the product's drawn symbols, `side` pixels square.
QToolButton* symbolButton(const QString& symbol, const QColor& tint, int side, const QString& tip = {});

// A warning: the text in orange after the warning sign.
QWidget* warningLabel(const QString& text);

} // namespace corvane
