#pragma once

#include "core/FloatingPanel.h"
#include "shelf/PreviewContent.h"

#include <QIcon>
#include <QList>
#include <QPointer>
#include <QUrl>

#include <atomic>
#include <memory>

namespace corvane {

class Executor;
class FilePanel;

// The preview of a file list's selection, beside the panel it belongs to. It never takes the
// keyboard, so the list's keys keep working while it shows. With one file selected (or none) the
// arrows move the list's selection and the preview follows; with several, the arrows step through
// those that exist here and the list's selection stays. Once open it stays open as the selection
// changes, empty while nothing previewable is selected, until it is closed. Files are read on
// `worker`, the newest request first: a slow or stuck file delays only its own preview. A PDF's
// page is drawn in a bounded process of its own, one at a time (the next file's drawing cancels
// the last one's), killed when the panel goes (at quit), so nothing waits for a drawing. One per
// process, shared by every file panel.
class PreviewPanel : public FloatingPanel {
    Q_OBJECT
public:
    static constexpr int width = 520;
    static constexpr int height = 440;

    PreviewPanel(PanelWindowing& windowing, Executor& worker, PdfPreviewRenderer pdf = PdfPreviewRenderer());
    ~PreviewPanel() override;

    // The file panel that last opened the preview; none once it is gone.
    FilePanel* owner() const { return m_owner; }
    // Shows `urls` (the selection, in list order) next to `owner`, from the first.
    void showFor(FilePanel& owner, const QList<QUrl>& urls);
    // Reads the owner's selection again; keeps the file shown while it is still selected, and
    // shows nothing (an empty panel) while no selected file exists.
    void reloadData();
    // Moves to the next (+1) or previous (-1) item, staying at the ends.
    void step(int delta);

    const QList<QUrl>& items() const { return m_items; }
    int index() const { return m_index; }
    // The item shown; `loading` until its file has been read.
    const PreviewContent& content() const { return m_content; }
    // The title line: the item's name, and where it stands among several.
    QString titleText() const;

Q_SIGNALS:
    // A PDF showed its facts only because the helper that draws its page is not installed: told
    // once for the panel's life (the process's), not at every PDF.
    void pdfHelperMissing();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void showItem(int index);
    void showNothing();
    void take(quint64 request, PreviewContent content);
    void place();

    Executor& m_worker;
    PdfPreviewRenderer m_pdf;
    QPointer<FilePanel> m_owner;
    QList<QUrl> m_items;
    int m_index = 0;
    PreviewContent m_content;
    QIcon m_icon;
    bool m_pdfHelperMissingTold = false;
    // The request whose answer counts; workers skip requests already overtaken.
    std::shared_ptr<std::atomic<quint64>> m_request = std::make_shared<std::atomic<quint64>>(0);
};

} // namespace corvane
