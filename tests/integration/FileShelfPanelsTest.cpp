// The file shelf's panels on a real X server without a compositing manager: a pinned folder
// listed and kept current, the floating panel's frame across a restart, the preview of an image,
// and pictures of the popover, a floating panel and the preview.
#include "support/EventLoopGaps.h"
#include "support/FocusedPrograms.h"
#include "support/HeaderDrags.h"
#include "support/IntegrationMain.h"
#include "support/LiveApp.h"
#include "support/ServerQueries.h"
#include "support/XTestInput.h"

#include "app/AppState.h"
#include "core/ScreenHelpers.h"
#include "core/Settings.h"
#include "platform/HotKeys.h"
#include "platform/ModifierBits.h"
#include "shelf/FilePanel.h"
#include "shelf/FileRowView.h"
#include "shelf/FileShelf.h"
#include "shelf/FileShelfController.h"
#include "shelf/PreviewPanel.h"
#include "shelf/ShelfHost.h"
#include "shelf/ShelfListModel.h"
#include "shelf/ShelfRow.h"
#include "sidebar/SidebarController.h"
#include "sidebar/SidebarPanel.h"

#include <QCursor>
#include <QDir>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QFile>
#include <QGuiApplication>
#include <QImage>
#include <QLocalServer>
#include <QPainter>
#include <QProcess>
#include <QScreen>
#include <QSet>
#include <QTemporaryDir>
#include <QTest>
#include <QThreadPool>
#include <QTimer>

#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>
#include <xkbcommon/xkbcommon-keysyms.h>

namespace corvane::testing {
namespace {

constexpr int waitMs = 5000;

int distinctColours(const QImage& image, int enough) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 2) {
        for (int x = 0; x < image.width(); x += 2) {
            seen.insert(image.pixel(x, y));
            if (seen.size() >= enough)
                return enough;
        }
    }
    return static_cast<int>(seen.size());
}

// What the X server shows where the window is, corners and all, once it shows at least `colours`
// colours there (or, failing that, at the deadline). Where the window is comes from the server at
// each look: Qt's frame geometry can keep the size of the window manager's new frame as it was
// before the window manager sized it (1x1 under openbox) until the window next moves.
QImage screenPicture(const QWidget& window, const QString& name, int colours = 8) {
    QImage picture;
    (void)QTest::qWaitFor(
        [&] {
            const QRect frame = serverFrame(static_cast<xcb_window_t>(window.winId()));
            picture = QGuiApplication::primaryScreen()
                          ->grabWindow(0, frame.x(), frame.y(), frame.width(), frame.height())
                          .toImage();
            return distinctColours(picture, colours) >= colours;
        },
        waitMs);
    const QString folder = QCoreApplication::applicationDirPath() + QStringLiteral("/screenshots");
    QDir().mkpath(folder);
    picture.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
    return picture;
}

void writeFile(const QString& path, const QByteArray& bytes = "hello") {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QStringList shownNames(const ShelfListModel& model) {
    QStringList names;
    for (const ShelfFile& file : model.files())
        names.append(file.name);
    return names;
}

struct QuietHost : ShelfHost {
    void hideStripHoverPreview() override {}
    void openFilesSettings() override {}
    void showFailure(const QString&) override {}
};

class FileShelfPanelsTest : public ::testing::Test {
protected:
    FileShelfPanelsTest() {
        app.settings().setShelfSort(ShelfSort::name);
        app.settings().setShowTray(true);
        app.settings().setShowFiles(true);
    }

    FileShelfController& shelf() { return app.state().shelf(); }

    QString pinnedFolder() {
        const QString path = folder.filePath(QStringLiteral("Pinned"));
        QDir().mkpath(path);
        writeFile(path + QStringLiteral("/b-notes.txt"), "notes\nsecond line\n");
        writeFile(path + QStringLiteral("/a-report.txt"));
        writeFile(path + QStringLiteral("/C-photo.png"), "");
        QImage image(320, 200, QImage::Format_RGB32);
        image.fill(QColor(40, 120, 200));
        QPainter(&image).fillRect(40, 40, 120, 80, QColor(240, 200, 40));
        image.save(path + QStringLiteral("/C-photo.png"));
        app.state().files().setFolders({path});
        app.state().files().save();
        app.state().files().syncWatchers();
        return path;
    }

    // The pinned folder's floating panel, open and on screen; null when it did not show.
    FilePanel* floatingFolderPanel(const QString& path) {
        const ShelfSource source = ShelfSource::folder(path);
        shelf().openFloating(source);
        FilePanel* panel = shelf().floatingPanel(source);
        // A huge folder's first listing on a busy machine may take seconds.
        const bool shown = panel && QTest::qWaitForWindowExposed(panel, waitMs) &&
                           QTest::qWaitFor([&] { return panel->model()->isListed(); }, 12 * waitMs);
        QCoreApplication::processEvents();
        return shown ? panel : nullptr;
    }

    static FileRowView* rowNamed(const FilePanel& panel, const QString& name) {
        for (FileRowView* row : panel.findChildren<FileRowView*>()) {
            if (row->file().name == name)
                return row;
        }
        return nullptr;
    }

    LiveApp app;
    QTemporaryDir folder;
};

TEST_F(FileShelfPanelsTest, APinnedFolderIsListedInOrderAndFollowsNewFiles) {
    const QString path = pinnedFolder();
    shelf().showPopover(ShelfSource::folder(path), QRectF(900, 0, 24, 24));
    FilePanel* popover = shelf().popover();
    ASSERT_NE(popover, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(popover, waitMs));
    ASSERT_NE(popover->model(), nullptr);
    ASSERT_TRUE(QTest::qWaitFor([&] { return popover->model()->isListed(); }, waitMs));
    EXPECT_EQ(shownNames(*popover->model()),
              QStringList({QStringLiteral("a-report.txt"), QStringLiteral("b-notes.txt"),
                           QStringLiteral("C-photo.png")}));

    const QImage picture = screenPicture(*popover, QStringLiteral("shelf-popover"), 12);
    EXPECT_GE(distinctColours(picture, 12), 12);

    writeFile(path + QStringLiteral("/a-new.txt"));
    EXPECT_TRUE(QTest::qWaitFor(
        [&] { return shownNames(*popover->model()).contains(QStringLiteral("a-new.txt")); }, waitMs));
    EXPECT_EQ(shownNames(*popover->model()).first(), QStringLiteral("a-new.txt"));
}

TEST_F(FileShelfPanelsTest, AFloatingPanelComesBackAtItsFrameAfterARestart) {
    const QString path = pinnedFolder();
    const ShelfSource source = ShelfSource::folder(path);
    FilePanel* panel = floatingFolderPanel(path);
    ASSERT_NE(panel, nullptr);
    const QRect moved(180, 140, 240, 320);
    panel->setGeometry(moved);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->geometry() == moved; }, waitMs));
    QCoreApplication::processEvents();
    const QImage picture = screenPicture(*panel, QStringLiteral("shelf-floating"), 12);
    EXPECT_GE(distinctColours(picture, 12), 12);

    // A second controller over the same stored preferences is the next run's.
    QuietHost host;
    FileShelfController nextRun(FileShelfController::Services{
        app.settings(), app.state().files(), *app.platform().defaults, *app.platform().panelWindowing,
        *app.platform().screens, *app.platform().shell, app.state().animator(), app.state().scheduler(), host,
        app.state().statusItems(), app.state().background()});
    nextRun.restoreFloatingShelves();
    FilePanel* restored = nextRun.floatingPanel(source);
    ASSERT_NE(restored, nullptr);
    ASSERT_TRUE(QTest::qWaitForWindowExposed(restored, waitMs));
    EXPECT_EQ(restored->geometry(), moved);
}

TEST_F(FileShelfPanelsTest, SpaceOnASelectedImageShowsItsPreview) {
    const QString path = pinnedFolder();
    FilePanel* panel = floatingFolderPanel(path);
    ASSERT_NE(panel, nullptr);
    // A click on the image's row selects it and gives the panel the keyboard.
    FileRowView* row = rowNamed(*panel, QStringLiteral("C-photo.png"));
    ASSERT_NE(row, nullptr);
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_TRUE(row->isSelected());
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel, waitMs));
    QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, Qt::Key_Space);
    PreviewPanel& preview = shelf().preview();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview, waitMs));
    ASSERT_TRUE(
        QTest::qWaitFor([&] { return preview.content().kind == PreviewContent::Kind::image; }, waitMs));
    const QImage picture = screenPicture(preview, QStringLiteral("shelf-preview"));
    EXPECT_GE(distinctColours(picture, 8), 8);

    // Up moves the selection while the preview shows, and the preview follows it.
    QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, Qt::Key_Up);
    EXPECT_EQ(preview.content().name, QStringLiteral("b-notes.txt"));
    EXPECT_TRUE(
        QTest::qWaitFor([&] { return preview.content().kind == PreviewContent::Kind::text; }, waitMs));
    screenPicture(preview, QStringLiteral("shelf-preview-text"));
    QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, Qt::Key_Escape);
    EXPECT_FALSE(preview.isVisible());
}

TEST_F(FileShelfPanelsTest, DraggingARowOutGivesAnotherProgramTheFileAsAUriList) {
    const QString path = pinnedFolder();
    QProcess target;
    target.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    target.start(QStringLiteral(CORVANE_DROP_TARGET), {});
    ASSERT_TRUE(target.waitForReadyRead(waitMs));
    ASSERT_TRUE(desktop().waitForClientWindow(target.processId()).has_value());

    FilePanel* panel = floatingFolderPanel(path);
    ASSERT_NE(panel, nullptr);
    const QRect placed(200, 200, 240, 320);
    panel->setGeometry(placed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->geometry() == placed; }, waitMs));
    FileRowView* row = rowNamed(*panel, QStringLiteral("a-report.txt"));
    ASSERT_NE(row, nullptr);
    const QPoint start = row->mapToGlobal(QPoint(30, row->height() / 2));
    const QPoint drop(850, 320);
    // The server has the panel where the press will go.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return serverFrame(static_cast<xcb_window_t>(panel->winId())).contains(start); }, waitMs));

    XTestInput input;
    input.moveTo(start);
    ASSERT_TRUE(QTest::qWaitFor([&] { return QCursor::pos() == start; }, waitMs));
    input.pressButton();
    ASSERT_TRUE(QTest::qWaitFor([&] { return QGuiApplication::mouseButtons() & Qt::LeftButton; }, waitMs));
    // The drag runs its own loop from the first move on; the rest of the gesture comes from timers.
    QTimer::singleShot(300, [&] { input.moveTo(drop - QPoint(20, 20)); });
    QTimer::singleShot(600, [&] { input.moveTo(drop); });
    QTimer::singleShot(1000, [&] { input.releaseButton(); });
    input.moveTo(start + QPoint(12, 0));
    QString said;
    (void)QTest::qWaitFor(
        [&] {
            said += QString::fromUtf8(target.readAllStandardOutput());
            return said.contains(QStringLiteral("DROP")) || target.state() == QProcess::NotRunning;
        },
        waitMs);
    if (target.state() != QProcess::NotRunning)
        target.waitForFinished(waitMs);
    said += QString::fromUtf8(target.readAllStandardOutput());
    const QString url =
        QUrl::fromLocalFile(path + QStringLiteral("/a-report.txt")).toString(QUrl::FullyEncoded);
    EXPECT_TRUE(said.contains(QStringLiteral("DROP copy ") + url)) << said.toStdString();
    EXPECT_TRUE(QFile::exists(path + QStringLiteral("/a-report.txt")));
}

TEST_F(FileShelfPanelsTest, AFloatingPanelIsATaskAndQuickClicksOnItsHeaderMoveNothingWhileADragMovesIt) {
    const QString path = pinnedFolder();
    FocusedPrograms programs;
    const xcb_window_t terminal =
        programs.open(app.platform(), QStringLiteral("xterm"),
                      {QStringLiteral("-geometry"), QStringLiteral("40x10+700+500")});
    ASSERT_NE(terminal, XCB_WINDOW_NONE);
    FilePanel* panel = floatingFolderPanel(path);
    ASSERT_NE(panel, nullptr);
    // A floating panel is one of the user's windows: taskbars and pagers list it
    EXPECT_FALSE(hasState(static_cast<xcb_window_t>(panel->winId()), "_NET_WM_STATE_SKIP_TASKBAR"));
    EXPECT_FALSE(hasState(static_cast<xcb_window_t>(panel->winId()), "_NET_WM_STATE_SKIP_PAGER"));
    const QRect placed(200, 150, 240, 320);
    panel->setGeometry(placed);
    ASSERT_TRUE(QTest::qWaitFor([&] { return panel->geometry() == placed; }, waitMs));
    const QPoint header = emptyHeaderPoint(*panel);
    ASSERT_TRUE(header.y() > placed.top() && header.y() < placed.top() + 40) << header.y();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return serverFrame(static_cast<xcb_window_t>(panel->winId())).contains(header); }, waitMs));
    XTestInput input;

    // Twenty presses let go at once (a tap) leave the panel where it stood, and the pointer free:
    // a click on the terminal then gives it the keyboard
    int releases = 0;
    EventCounter counting(*panel->windowHandle(), QEvent::MouseButtonRelease, releases);
    for (int i = 0; i < 20; ++i) {
        input.click(header);
        ASSERT_TRUE(QTest::qWaitFor([&] { return releases == i + 1; }, waitMs)) << "click " << i;
    }
    input.click(serverFrame(terminal).center());
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == terminal; }, waitMs));
    EXPECT_EQ(panel->geometry(), placed);

    // A press on the header dragged 60 across and 40 down moves the panel as far, the part of the
    // header pressed staying under the pointer all the way
    dragHeader(input, *panel, QPoint(60, 40));
    EXPECT_EQ(panel->geometry(), placed.translated(60, 40));
    // and leaves the pointer free again
    input.click(serverFrame(terminal).center() + QPoint(0, 20));
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == terminal; }, waitMs));
}

TEST_F(FileShelfPanelsTest, ClickingTheStripsTrayRowOpensThePopoverWithTheTraysFilesAndNeitherIsATask) {
    const QString path = pinnedFolder();
    app.state().files().setTray(
        {path + QStringLiteral("/b-notes.txt"), path + QStringLiteral("/a-report.txt")});
    SidebarController& strip = app.state().sidebar();
    strip.start();
    ShelfRow* trayRow = nullptr;
    ASSERT_TRUE(QTest::qWaitFor(
        [&] {
            if (!strip.panel() || !strip.panel()->isVisible())
                return false;
            for (ShelfRow* row : strip.panel()->findChildren<ShelfRow*>()) {
                if (row->source().isTray() && row->isVisible())
                    trayRow = row;
            }
            return trayRow != nullptr;
        },
        waitMs));
    // The strip has come to rest at the left edge, so that the click lands on the row.
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return strip.panel()->geometry().x() == topLeftVisibleFrame(*strip.currentScreen()).x() + 8; },
        waitMs));

    const QPoint onRow = trayRow->mapToGlobal(trayRow->rect().center());
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return serverFrame(static_cast<xcb_window_t>(strip.panel()->winId())).contains(onRow); },
        waitMs));
    XTestInput().click(onRow);
    ASSERT_TRUE(QTest::qWaitFor([&] { return shelf().isPopoverShown(); }, waitMs));
    EXPECT_EQ(shelf().popoverSource(), ShelfSource::tray());
    EXPECT_TRUE(strip.panel()->isVisible());
    ASSERT_TRUE(QTest::qWaitFor([&] { return shelf().popover()->model()->isListed(); }, waitMs));
    EXPECT_EQ(shownNames(*shelf().popover()->model()),
              QStringList({QStringLiteral("b-notes.txt"), QStringLiteral("a-report.txt")}));
    screenPicture(*shelf().popover(), QStringLiteral("shelf-popover-tray"));
    // Taskbars and pagers list neither the strip nor the popover
    for (const QWidget* panel :
         {static_cast<QWidget*>(strip.panel()), static_cast<QWidget*>(shelf().popover())}) {
        const auto window = static_cast<xcb_window_t>(panel->winId());
        EXPECT_TRUE(hasState(window, "_NET_WM_STATE_SKIP_TASKBAR"));
        EXPECT_TRUE(hasState(window, "_NET_WM_STATE_SKIP_PAGER"));
    }
}

// The processor time this process has taken so far, user and system, in seconds.
double processorSeconds() {
    QFile stat(QStringLiteral("/proc/self/stat"));
    if (!stat.open(QIODevice::ReadOnly))
        return 0;
    const QByteArray line = stat.readAll();
    // The fields after the command name, which is in parentheses and may hold spaces.
    const QList<QByteArray> fields = line.mid(line.lastIndexOf(')') + 2).split(' ');
    const double ticks = fields.value(11).toDouble() + fields.value(12).toDouble();
    return ticks / static_cast<double>(::sysconf(_SC_CLK_TCK));
}

// Waits in the event loop until `done` holds, looking every 50 ms: unlike QTest's waits, which
// sleep in 10 ms steps, it costs next to nothing itself while a processor share is measured.
bool waitQuietly(const std::function<bool()>& done, int ms) {
    QEventLoop loop;
    QTimer look;
    QObject::connect(&look, &QTimer::timeout, &loop, [&] {
        if (done())
            loop.quit();
    });
    look.start(50);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

void makeEmptyFile(const QString& path) {
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_CLOEXEC, 0644);
    if (fd >= 0)
        ::close(fd);
}

TEST_F(FileShelfPanelsTest, APipeASocketAndADeviceArePreviewedByTheirFactsAndKeysStillAct) {
    const QString path = folder.filePath(QStringLiteral("Special"));
    QDir().mkpath(path);
    // A pipe nobody writes to, a socket something listens on, and a device node (where the system
    // refuses to make one, a link to one: the shelf follows links the same way).
    ASSERT_EQ(::mkfifo(QFile::encodeName(path + QStringLiteral("/a-pipe")).constData(), 0600), 0);
    QLocalServer socket;
    ASSERT_TRUE(socket.listen(path + QStringLiteral("/b-socket")));
    const QString device = path + QStringLiteral("/c-device");
    if (::mknod(QFile::encodeName(device).constData(), S_IFCHR | 0600, makedev(1, 5)) != 0) {
        ASSERT_TRUE(QFile::link(QStringLiteral("/dev/zero"), device));
    }
    app.state().files().setFolders({path});
    app.state().files().syncWatchers();

    // A global hot key whose handler notes when it ran.
    HotKeys& hotKeys = *app.platform().hotKeys;
    constexpr qint64 keyK = 40;
    const std::optional<HotKeys::Id> id =
        hotKeys.registerHotKey(keyK, HotKeyModifier::control | HotKeyModifier::option);
    ASSERT_TRUE(id.has_value());
    int presses = 0;
    QObject::connect(&hotKeys, &HotKeys::pressed, &hotKeys, [&](HotKeys::Id pressed) {
        if (pressed == *id)
            ++presses;
    });

    FilePanel* panel = floatingFolderPanel(path);
    ASSERT_NE(panel, nullptr);
    PreviewPanel& preview = shelf().preview();
    XTestInput typist;
    const struct {
        const char* name;
        FileKind kind;
    } cases[] = {
        {"a-pipe", FileKind::fifo}, {"b-socket", FileKind::socket}, {"c-device", FileKind::characterDevice}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        FileRowView* row = rowNamed(*panel, QString::fromLatin1(c.name));
        ASSERT_NE(row, nullptr);
        QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, 10));
        ASSERT_TRUE(QTest::qWaitForWindowActive(panel, waitMs));
        QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, Qt::Key_Space);
        ASSERT_TRUE(QTest::qWaitForWindowExposed(&preview, waitMs));
        ASSERT_TRUE(
            QTest::qWaitFor([&] { return preview.content().kind == PreviewContent::Kind::summary; }, waitMs));
        EXPECT_EQ(preview.content().fileKind, c.kind);
        EXPECT_FALSE(preview.content().kindDescription.isEmpty());
        EXPECT_TRUE(preview.content().modified.isValid());
        screenPicture(preview, QStringLiteral("shelf-preview-") + QString::fromLatin1(c.name));

        // The program answers a hot key while the preview shows: nothing waits on the special file
        // (a read of the pipe would never end; the bound leaves a busy machine its delays).
        const int before = presses;
        QElapsedTimer answered;
        answered.start();
        typist.type({XKB_KEY_Control_L, XKB_KEY_Alt_L, XKB_KEY_k});
        ASSERT_TRUE(QTest::qWaitFor([&] { return presses > before; }, waitMs));
        EXPECT_LT(answered.elapsed(), 1000);

        QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, Qt::Key_Escape);
        ASSERT_FALSE(preview.isVisible());
    }
    hotKeys.unregisterHotKey(*id);
}

// The processes now running whose command line starts with `words` (a zombie's is empty).
int processesRunning(const QByteArrayList& words) {
    const QByteArray wanted = words.join('\0') + '\0';
    int count = 0;
    for (const QString& pid : QDir(QStringLiteral("/proc")).entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        QFile command(QStringLiteral("/proc/%1/cmdline").arg(pid));
        if (command.open(QIODevice::ReadOnly) && command.readAll().startsWith(wanted))
            ++count;
    }
    return count;
}

TEST_F(FileShelfPanelsTest, PreviewsToggledOverAHangingPdfHelperKeepTheLoopAnsweringAndQuitAtOnce) {
    const QString path = folder.filePath(QStringLiteral("Papers"));
    QDir().mkpath(path);
    for (int i = 0; i < 24; ++i)
        writeFile(path + QStringLiteral("/paper-%1.pdf").arg(i, 2, 10, QLatin1Char('0')),
                  "%PDF-1.4\n1 0 obj\n<< /Type /Catalog >>\nendobj\n%%EOF\n");
    // A helper that never answers, and whose own child holds its answer open after it is killed.
    // The child's command line is this test's alone: another run of the tests may be drawing too.
    const QByteArray seconds = "617." + QByteArray::number(QCoreApplication::applicationPid());
    const QString helper = folder.filePath(QStringLiteral("hanging-helper"));
    writeFile(helper, "#!/bin/sh\nsleep " + seconds + "\n");
    QFile::setPermissions(helper, QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    const QByteArrayList hanging = {"sleep", seconds};
    app.state().files().setFolders({path});
    app.state().files().syncWatchers();
    FilePanel* panel = floatingFolderPanel(path);
    ASSERT_NE(panel, nullptr);
    FileRowView* row = rowNamed(*panel, QStringLiteral("paper-00.pdf"));
    ASSERT_NE(row, nullptr);
    QTest::mouseClick(row, Qt::LeftButton, {}, QPoint(20, 10));
    ASSERT_TRUE(QTest::qWaitForWindowActive(panel, waitMs));
    const QByteArray realHelper = qgetenv("CORVANE_PREVIEW_HELPER");
    qputenv("CORVANE_PREVIEW_HELPER", QFile::encodeName(helper));
    PreviewPanel& preview = shelf().preview();
    qputenv("CORVANE_PREVIEW_HELPER", realHelper);

    // Down and Space every 50 ms: each shown preview asks for another drawing. The shared pool has
    // one thread, as on a machine of one processor: Qt's painting waits for that pool too.
    QThreadPool& pool = *QThreadPool::globalInstance();
    const int poolSize = pool.maxThreadCount();
    pool.setMaxThreadCount(1);
    EventLoopGaps gaps({}, desktop().serverPid());
    int mostHelpers = 0;
    const auto key = [&](Qt::Key k) {
        QTest::keyClick(panel->focusWidget() ? panel->focusWidget() : panel, k);
    };
    for (int i = 0; i < 20; ++i) {
        key(Qt::Key_Down);
        key(Qt::Key_Space);
        QTest::qWait(50);
        mostHelpers = std::max(mostHelpers, processesRunning(hanging));
    }
    if (!preview.isVisible())
        key(Qt::Key_Space);
    ASSERT_TRUE(QTest::qWaitFor([&] { return processesRunning(hanging) >= 1; }, waitMs));
    QTest::qWait(300);
    mostHelpers = std::max(mostHelpers, processesRunning(hanging));
    gaps.stop();
    pool.setMaxThreadCount(poolSize);
    std::printf("worst event-loop gap %lld ms (%s), at most %d drawings at once\n",
                static_cast<long long>(gaps.worstMs()), qPrintable(gaps.worstParts()), mostHelpers);
    EXPECT_LT(gaps.worstMs(), 300);
    EXPECT_LE(mostHelpers, 2) << "an older drawing went on beside a newer one";

    // The quit kills the drawing under way, its helper's own children included, and waits for none.
    QElapsedTimer quitting;
    quitting.start();
    app.quit();
    const qint64 quitMs = quitting.elapsed();
    std::printf("quit in %lld ms\n", static_cast<long long>(quitMs));
    EXPECT_LT(quitMs, 1000);
    EXPECT_TRUE(QTest::qWaitFor([&] { return processesRunning(hanging) == 0; }, waitMs));
}

TEST_F(FileShelfPanelsTest, TenChangesASecondInAHundredThousandFilesCostLittleWhileTheListShows) {
    app.settings().setShelfSort(ShelfSort::newest);
    const QString path = folder.filePath(QStringLiteral("Huge"));
    QDir().mkpath(path);
    for (int i = 0; i < 100000; ++i)
        makeEmptyFile(path + QStringLiteral("/old-%1").arg(i));
    app.state().files().setFolders({path});
    app.state().files().syncWatchers();
    FilePanel* panel = floatingFolderPanel(path);
    ASSERT_NE(panel, nullptr);
    ASSERT_EQ(panel->model()->totalCount(), 300);

    // Another process makes a file every tenth of a second, so that what making them costs the
    // file system is not counted as the list's. The list follows the files named as new, without
    // listing the folder again, at its own pace, which is what is measured: the share is taken
    // over eight whole turns, from one update's start to the start of the eighth after it, so that
    // the window's edges cannot cut a turn in two.
    //
    // A turn pauses fifteen times its update's time as the clock runs, up to two seconds, so an
    // update slowed by a busy machine or a sanitized build stretches its turn alike; the share is
    // of one processor, which a busy machine only lowers (the turn counts the time the update
    // waited for a processor, the share only the time it ran).
    ShelfListModel& model = *panel->model();
    constexpr int turnMs = 120000;
    const int listings = model.listingCount();
    const auto turns = [&] { return model.listingCount() + model.updateCount(); };
    const int listed = turns();
    QProcess maker;
    QElapsedTimer making;
    making.start();
    maker.start(QStringLiteral("/bin/sh"),
                {QStringLiteral("-c"),
                 QStringLiteral("i=0; while :; do : > \"$1/new-$i\"; i=$((i + 1)); sleep 0.1; done"),
                 QStringLiteral("sh"), path});
    ASSERT_TRUE(maker.waitForStarted(waitMs));
    ASSERT_TRUE(waitQuietly([&] { return turns() > listed; }, turnMs));
    const int first = turns();
    const double before = processorSeconds();
    QElapsedTimer wall;
    wall.start();
    ASSERT_TRUE(waitQuietly([&] { return turns() >= first + 8; }, 8 * turnMs));
    const double seconds = static_cast<double>(wall.elapsed()) / 1000;
    const double share = (processorSeconds() - before) / seconds;
    const double madeSeconds = static_cast<double>(making.elapsed()) / 1000;
    maker.kill();
    maker.waitForFinished(waitMs);
    int made = 0;
    while (QFile::exists(path + QStringLiteral("/new-%1").arg(made)))
        ++made;
    std::printf("processor share over %.1f s of changes ten a second: %.1f %%, %d changes\n", seconds,
                share * 100, made);
    // What each update and each change cost the main thread, which the sanitizer's checks make
    // several times dearer. Relisting at each change, or every quarter of a second, would cost a
    // processor's half or more; and the folder was never listed whole again.
#if defined(__SANITIZE_ADDRESS__)
    constexpr double bound = 0.15;
#else
    constexpr double bound = 0.10;
#endif
    EXPECT_LT(share, bound);
    EXPECT_EQ(model.listingCount(), listings);
    // The changes kept coming faster than the turns (a busy machine slows the maker's pace too).
    EXPECT_GE(made, 5 * madeSeconds);

    // The list kept up: the newest files lead it once the next turn comes after the changes stop.
    const QString last = QStringLiteral("new-%1").arg(made - 1);
    EXPECT_TRUE(waitQuietly([&] { return shownNames(*panel->model()).contains(last); }, turnMs));
}

} // namespace
} // namespace corvane::testing

int main(int argc, char** argv) {
    return corvane::testing::runIntegrationTests(argc, argv);
}
