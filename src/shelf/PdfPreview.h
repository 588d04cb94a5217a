#pragma once

#include <QByteArray>
#include <QImage>
#include <QSize>
#include <QString>

#include <memory>

namespace corvane {

// What drawing one preview may cost. A small PDF can inflate to gigabytes when drawn, so the
// bound is on the drawing, not on the file.
struct PdfPreviewLimits {
    qint64 memoryBytes = qint64(384) << 20; // address space of the drawing process
    int timeMs = 5000;                      // wall-clock time, and as much processor time
};

// Draws the first page of a PDF in a process of its own ("corvane-preview", beside the program
// or in its libexec folder), under a memory and a time limit. Past either the drawing is given
// up and the caller shows the file's facts. `stop` kills the drawings under way (at quit), so
// nothing waits for one. Copies share their running drawings; `render` may run on any thread.
// A helper that hangs holds only the thread that waits for it: its whole process group is killed
// when the drawing ends, and a drawing that is cancelled stops waiting at once.
class PdfPreviewRenderer {
public:
    explicit PdfPreviewRenderer(QString helper = defaultHelper(), PdfPreviewLimits limits = {});

    // $CORVANE_PREVIEW_HELPER when set, else the helper beside the program, else in
    // ../libexec/corvane; empty when none is found.
    static QString defaultHelper();

    // The first page of the regular file at `path`, scaled into `bound`; a null image when it
    // cannot be drawn within the limits, when there is no helper, or after `stop`. With an
    // `order`, at most one drawing runs: one of a higher order cancels those under way, and one
    // of a lower order than any started is not begun (a preview wants only its latest page).
    QImage render(const QString& path, const QSize& bound, quint64 order = 0) const;
    // Kills every drawing under way and refuses later ones.
    void stop();
    // Whether a helper was found to draw with.
    bool hasHelper() const { return !m_helper.isEmpty(); }

private:
    struct Children;
    QString m_helper;
    PdfPreviewLimits m_limits;
    std::shared_ptr<Children> m_children;
};

// The helper's side. Draws the first page of the PDF in `bytes`, scaled into `bound`.
QImage renderFirstPdfPage(QByteArray& bytes, const QSize& bound);
// Writes `image` to `fd` as the helper answers: a header, then the pixels.
bool writePreviewImage(int fd, const QImage& image);

} // namespace corvane
