#pragma once

#include "core/FloatingPanel.h"
#include "shelf/PreviewContent.h"

#include <QList>
#include <QPointer>
#include <QUrl>

namespace corvane {

class FilePanel;

// The preview of a file list's selection, beside the panel it belongs to. It never takes the
// keyboard, so the list's keys keep working while it shows: the arrows move the selection and
// the preview follows. One per process, shared by every file panel.
class PreviewPanel : public FloatingPanel {
    Q_OBJECT
public:
    static constexpr int width = 520;
    static constexpr int height = 440;

    explicit PreviewPanel(PanelWindowing& windowing);

    // The file panel that last opened the preview; none once it is gone.
    FilePanel* owner() const { return m_owner; }
    // Shows the first of `urls` (a count tells how many more are selected) next to `owner`.
    void showFor(FilePanel& owner, const QList<QUrl>& urls);
    // Reads the owner's selection again; hides when nothing previewable is selected.
    void reloadData();

    const QList<QUrl>& items() const { return m_items; }
    const PreviewContent& content() const { return m_content; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void place();

    QPointer<FilePanel> m_owner;
    QList<QUrl> m_items;
    PreviewContent m_content;
};

} // namespace corvane
