// What the clipboard history costs in memory while it is saved, read from /proc/self/status:
//   texts DAYS   thirty different 8 MiB ASCII texts copied in turn, each saved (a retention of
//                DAYS; 0 saves nothing): the resident size after each save and the peak
//   files        six different lists of 9,999 files, saved with a retention of 30 days: what they
//                add to the resident size, and how long the strip's search and a card's drawing
//                of them take
//   (none)       runs "texts 0", "texts 30" and "files", each in a process of its own, and sets
//                the figures side by side
// On the fake platform and virtual time, the saves and the reading of file lists on threads as in
// the product; run by hand in a RelWithDebInfo build.
#include "clipboard/ClipCard.h"
#include "clipboard/ClipboardHistory.h"
#include "clipboard/ClipboardPanelModel.h"
#include "core/ManualAnimator.h"
#include "core/Settings.h"
#include "platform/fake/FakePlatform.h"
#include "runtime/ManualScheduler.h"
#include "runtime/NotificationCenter.h"
#include "runtime/WorkerQueue.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QFile>
#include <QPainter>
#include <QProcess>
#include <QTemporaryDir>

#include <cstdio>

using namespace corvane;

namespace {

qint64 statusMiB(const char* field) {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly))
        return -1;
    for (const QByteArray& line : status.readAll().split('\n'))
        if (line.startsWith(field))
            return line.mid(qsizetype(std::strlen(field))).trimmed().split(' ').first().toLongLong() / 1024;
    return -1;
}
template <typename T> void keep(const T& value) {
    asm volatile("" : : "r,m"(value) : "memory");
}
qint64 rssMiB() {
    return statusMiB("VmRSS:");
}
qint64 peakMiB() {
    return statusMiB("VmHWM:");
}

struct Fixture {
    explicit Fixture(qint64 days) : platform(scheduler), settings(*platform.defaults, notifications) {
        settings.setClipboardLimit(60);
        settings.setClipboardRetentionDays(days);
        history = std::make_unique<ClipboardHistory>(
            settings, scheduler, saves, *platform.pasteboard, *platform.runningApplications,
            ClipboardStore(home.path() + QStringLiteral("/store")), &pictures);
        history->setEnabled(true);
    }
    void copy(const QString& type, const QByteArray& bytes) {
        platform.fakePasteboard->copy({{type, bytes}});
        history->capture();
        // A file list is parsed on the pictures' thread, as in the product.
        while (history->readsInFlight() > 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
        // The save comes a second after the copy, on the pool, as in the product.
        scheduler.advance(Seconds(1.5));
        history->waitForSaves();
        QCoreApplication::processEvents();
    }
    QTemporaryDir home;
    ManualScheduler scheduler;
    ThreadPoolExecutor saves;
    SerialWorkerQueue pictures{QStringLiteral("clipboard-pics")};
    NotificationCenter notifications;
    FakePlatform platform;
    Settings settings;
    std::unique_ptr<ClipboardHistory> history;
};

int texts(qint64 days) {
    Fixture fixture(days);
    const qint64 before = rssMiB();
    qint64 settledMax = 0;
    for (int i = 0; i < 30; ++i) {
        QByteArray text = QByteArray::number(i) + ' ';
        text += QByteArray((qsizetype(8) << 20) - text.size(), char('a' + i % 26));
        fixture.copy(QStringLiteral("text/plain"), text);
        settledMax = std::max(settledMax, rssMiB());
    }
    std::printf("texts %lld: before %lld MiB, after %lld MiB, highest after a save %lld MiB, peak %lld MiB, "
                "%zu entries\n",
                static_cast<long long>(days), static_cast<long long>(before),
                static_cast<long long>(rssMiB()), static_cast<long long>(settledMax),
                static_cast<long long>(peakMiB()), fixture.history->items().size());
    return 0;
}

int files() {
    Fixture fixture(30);
    const qint64 before = rssMiB();
    for (int list = 0; list < 6; ++list) {
        QByteArray uris;
        for (int i = 0; i < 9999; ++i)
            uris += "file:///home/someone/Pictures/Holiday%20" + QByteArray::number(list) + "/IMG_" +
                    QByteArray::number(100000 + i) + ".jpg\r\n";
        fixture.copy(QStringLiteral("text/uri-list"), uris);
    }
    const qint64 after = rssMiB();
    // What opening the strip costs for these entries: the search of each, and drawing each card.
    ClipboardPanelModel model;
    model.setSearchText(QStringLiteral("IMG_1"));
    QElapsedTimer timer;
    timer.start();
    const size_t shown = filteredClips(fixture.history->items(), model).size();
    const qint64 searchMs = timer.elapsed();
    timer.restart();
    ManualAnimator animator;
    for (const ClipItem& item : fixture.history->items()) {
        ClipCard card(item, false, Qt::blue, std::nullopt, QPixmap(), {}, animator);
        keep(card.grab().toImage());
    }
    const qint64 drawMs = timer.elapsed();
    std::printf("files: before %lld MiB, after six lists %lld MiB (+%lld), peak %lld MiB, %zu entries, "
                "%zu found; search %lld ms, cards drawn %lld ms\n",
                static_cast<long long>(before), static_cast<long long>(after),
                static_cast<long long>(after - before), static_cast<long long>(peakMiB()),
                fixture.history->items().size(), shown, static_cast<long long>(searchMs),
                static_cast<long long>(drawMs));
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() == 3 && args[1] == QLatin1String("texts"))
        return texts(args[2].toLongLong());
    if (args.size() == 2 && args[1] == QLatin1String("files"))
        return files();
    for (const QStringList& run :
         {QStringList{"texts", "0"}, QStringList{"texts", "30"}, QStringList{"files"}}) {
        QProcess child;
        child.setProcessChannelMode(QProcess::ForwardedChannels);
        child.start(app.applicationFilePath(), run);
        if (!child.waitForFinished(-1) || child.exitCode() != 0)
            return 1;
    }
    return 0;
}
