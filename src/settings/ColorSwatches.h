#pragma once

#include <QWidget>

namespace corvane {

// The nine workspace colours as swatches in a row; the one whose text equals the chosen colour's
// exactly wears a ring. A click chooses a swatch's colour.
class ColorSwatches : public QWidget {
    Q_OBJECT
public:
    explicit ColorSwatches(QWidget* parent = nullptr);

    void setChosen(const QString& colorHex);
    QString chosen() const { return m_chosen; }
    // The swatch that wears the ring, or -1.
    int ringedIndex() const;
    void choose(int index);
    QSize sizeHint() const override;

Q_SIGNALS:
    void chosenByUser(const QString& colorHex);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    QString m_chosen;
};

} // namespace corvane
