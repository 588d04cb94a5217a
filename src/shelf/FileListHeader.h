#pragma once

#include "shelf/FileListActions.h"

#include <QAbstractButton>
#include <QColor>
#include <QWidget>

class QLabel;

namespace corvane {

class FileShelf;
class ShelfListModel;
class SystemShell;

// A borderless 18 × 18 button showing one glyph of the file list.
class GlyphButton : public QAbstractButton {
    Q_OBJECT
public:
    GlyphButton(QString glyph, QString tip, qreal glyphSize, bool primary, QWidget* parent = nullptr);
    void setGlyph(const QString& glyph) {
        m_glyph = glyph;
        update();
    }
    const QString& glyph() const { return m_glyph; }
    QSize sizeHint() const override { return {18, 18}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString m_glyph;
    qreal m_glyphSize;
    bool m_primary;
};

// The file list's header: back (when inside a sub-folder), the source's symbol, title and count,
// then empty-Tray, open-in-file-manager, float and close. Dragging its empty parts moves the panel.
class FileListHeader : public QWidget {
    Q_OBJECT
public:
    FileListHeader(ShelfListModel& model, FileShelf& shelf, SystemShell& shell, bool isFloating,
                   FileListActions actions, QColor accent, QWidget* parent = nullptr);

    // "300+" from 300 entries on, since a folder listing stops there.
    static QString countText(int count);

    GlyphButton* backButton() const { return m_back; }
    GlyphButton* trashButton() const { return m_trash; }
    GlyphButton* openButton() const { return m_open; }
    GlyphButton* floatButton() const { return m_float; }
    GlyphButton* closeButton() const { return m_close; }
    QString titleText() const;
    // The title as drawn in the room the header leaves it.
    QString shownTitle() const;

    void refresh();
    void setAccent(const QColor& accent);
    QColor accent() const { return m_accent; }

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    class Title;

    ShelfListModel& m_model;
    FileShelf& m_shelf;
    QColor m_accent;
    QWidget* m_dragHandle;
    GlyphButton* m_back;
    QWidget* m_symbol;
    Title* m_title;
    QLabel* m_count;
    GlyphButton* m_trash;
    GlyphButton* m_open = nullptr;
    GlyphButton* m_float;
    GlyphButton* m_close;
};

} // namespace corvane
