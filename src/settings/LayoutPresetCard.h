#pragma once

#include "core/LayoutPreset.h"

#include <QAbstractButton>

namespace corvane {

// A button showing a preset's diagram above its title, on a faint rounded card.
class LayoutPresetCard : public QAbstractButton {
    Q_OBJECT
public:
    explicit LayoutPresetCard(LayoutPreset preset, QWidget* parent = nullptr);

    LayoutPreset preset() const { return m_preset; }
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    LayoutPreset m_preset;
};

// Lays its widgets out in as many columns of at least `minimumColumn` as its width holds.
class AdaptiveGrid : public QWidget {
    Q_OBJECT
public:
    AdaptiveGrid(int minimumColumn, int spacing, QWidget* parent = nullptr);

    void addWidget(QWidget* widget);
    int columns() const;
    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    int columnsFor(int width) const;
    int rowHeight() const;
    void place();

    int m_minimumColumn;
    int m_spacing;
    std::vector<QWidget*> m_items;
};

} // namespace corvane
