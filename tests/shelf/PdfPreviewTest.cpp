#include "shelf/PdfPreview.h"

#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QPdfWriter>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <csignal>
#include <future>
#include <thread>

namespace corvane {
namespace {

// A PDF of one page whose content is `copies` references to one FlateDecode stream of `zeros`
// zero bytes: a few kilobytes on disk that inflate to copies × zeros when the page is drawn.
QByteArray decompressionBomb(qsizetype zeros, int copies) {
    // qCompress puts the length in 4 bytes before the zlib stream that FlateDecode reads.
    const QByteArray stream = qCompress(QByteArray(zeros, '\0'), 9).mid(4);
    QByteArray pdf = "%PDF-1.4\n";
    std::vector<qsizetype> offsets;
    const auto object = [&](const QByteArray& body) {
        offsets.push_back(pdf.size());
        pdf += QByteArray::number(qsizetype(offsets.size())) + " 0 obj\n" + body + "\nendobj\n";
    };
    QByteArray contents;
    for (int i = 0; i < copies; ++i)
        contents += "4 0 R ";
    object("<< /Type /Catalog /Pages 2 0 R >>");
    object("<< /Type /Pages /Kids [3 0 R] /Count 1 >>");
    object("<< /Type /Page /Parent 2 0 R /MediaBox [0 0 200 200] /Contents [" + contents + "] >>");
    object("<< /Length " + QByteArray::number(stream.size()) + " /Filter /FlateDecode >>\nstream\n" + stream +
           "\nendstream");
    const qsizetype table = pdf.size();
    pdf += "xref\n0 5\n0000000000 65535 f \n";
    for (qsizetype offset : offsets)
        pdf += QByteArray::number(offset).rightJustified(10, '0') + " 00000 n \n";
    pdf += "trailer\n<< /Size 5 /Root 1 0 R >>\nstartxref\n" + QByteArray::number(table) + "\n%%EOF\n";
    return pdf;
}

// Writes an ordinary one-page PDF at `path`.
QString writePage(const QString& path) {
    QPdfWriter writer(path);
    QPainter(&writer).fillRect(QRect(0, 0, 2000, 2000), Qt::black);
    return path;
}

QString writeBomb(const QString& path, int copies) {
    QFile file(path);
    if (file.open(QIODevice::WriteOnly))
        file.write(decompressionBomb(qsizetype(1) << 20, copies));
    return path;
}

TEST(PdfPreview, APageIsDrawnApartAndABombIsGivenUpWithinItsBounds) {
    QTemporaryDir dir;
    const QString page = writePage(dir.filePath(QStringLiteral("page.pdf")));
    PdfPreviewRenderer renderer;
    ASSERT_FALSE(PdfPreviewRenderer::defaultHelper().isEmpty()) << "corvane-preview was not found";
    const QImage drawn = renderer.render(page, QSize(200, 300));
    ASSERT_FALSE(drawn.isNull());
    EXPECT_LE(drawn.width(), 200);
    EXPECT_LE(drawn.height(), 300);

    // A 2 GB inflation from a file of a few kilobytes: the drawing runs out of its 384 MB and is
    // given up, quickly and without touching this process's memory
    const QString bomb = writeBomb(dir.filePath(QStringLiteral("bomb.pdf")), 2048);
    QElapsedTimer clock;
    clock.start();
    EXPECT_TRUE(renderer.render(bomb, QSize(200, 300)).isNull());
    EXPECT_LT(clock.elapsed(), PdfPreviewLimits().timeMs + 2000);

    // A drawing that takes too long is cut at its time limit; a stopped renderer kills the one
    // under way and starts no other
    PdfPreviewRenderer slow(PdfPreviewRenderer::defaultHelper(), {qint64(1) << 30, 300});
    EXPECT_TRUE(slow.render(bomb, QSize(200, 300)).isNull());
    PdfPreviewRenderer patient(PdfPreviewRenderer::defaultHelper(), {qint64(1) << 30, 60000});
    auto running = std::async(std::launch::async, [&] { return patient.render(bomb, QSize(200, 300)); });
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    clock.restart();
    patient.stop();
    EXPECT_TRUE(running.get().isNull());
    EXPECT_LT(clock.elapsed(), 1000);
    EXPECT_TRUE(patient.render(page, QSize(200, 300)).isNull());
}

TEST(PdfPreview, EachLimitHoldsOnItsOwn) {
    QTemporaryDir dir;
    const QString page = writePage(dir.filePath(QStringLiteral("page.pdf")));
    // A drawing that needs 512 MB is given up for its memory, with all the time in the world
    const QString bomb = writeBomb(dir.filePath(QStringLiteral("bomb.pdf")), 512);
    PdfPreviewRenderer patient(PdfPreviewRenderer::defaultHelper(), {PdfPreviewLimits().memoryBytes, 600000});
    EXPECT_TRUE(patient.render(bomb, QSize(200, 300)).isNull());

    // A helper that only waits, and so uses no processor time, is given up at the time limit
    const QString sleeper = dir.filePath(QStringLiteral("sleeper"));
    QFile script(sleeper);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\nexec sleep 600\n");
    script.close();
    script.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    PdfPreviewRenderer waiting(sleeper, {qint64(1) << 30, 300});
    auto drawing = std::async(std::launch::async, [&] { return waiting.render(page, QSize(200, 300)); });
    const bool ended = drawing.wait_for(std::chrono::seconds(30)) == std::future_status::ready;
    if (!ended)
        waiting.stop();
    EXPECT_TRUE(ended) << "the drawing outlived its time limit";
    EXPECT_TRUE(drawing.get().isNull());

    // A helper that started a program of its own and waits: at the time limit both go
    const QString starter = dir.filePath(QStringLiteral("starter"));
    const QString started = dir.filePath(QStringLiteral("started"));
    QFile starterScript(starter);
    ASSERT_TRUE(starterScript.open(QIODevice::WriteOnly));
    const QByteArray pidPath = QFile::encodeName(started);
    starterScript.write("#!/bin/sh\nsleep 600 &\necho $! > '" + pidPath + ".new'\nmv '" + pidPath +
                        ".new' '" + pidPath + "'\nwait\n");
    starterScript.close();
    starterScript.setPermissions(QFileDevice::ReadOwner | QFileDevice::ExeOwner);
    PdfPreviewRenderer starting(starter, {qint64(1) << 30, 2000});
    EXPECT_TRUE(starting.render(page, QSize(200, 300)).isNull());
    QFile pidFile(started);
    ASSERT_TRUE(pidFile.open(QIODevice::ReadOnly)) << "the helper did not start its program in time";
    const pid_t child = pid_t(pidFile.readAll().trimmed().toInt());
    ASSERT_GT(child, 0);
    // Killed at once; whoever takes the orphan in may reap it a little later
    const auto gone = [&] {
        QFile stat(QStringLiteral("/proc/%1/stat").arg(child));
        if (!stat.open(QIODevice::ReadOnly))
            return true;
        const QByteArray line = stat.readAll();
        const qsizetype afterName = line.lastIndexOf(')');
        return afterName < 0 || line.mid(afterName + 2, 1) == "Z";
    };
    const auto until = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (!gone() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_TRUE(gone()) << "the helper's own program outlived the drawing";
    if (!gone())
        ::kill(child, SIGKILL);
}

} // namespace
} // namespace corvane
