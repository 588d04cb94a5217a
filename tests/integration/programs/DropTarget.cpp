// A small window of another process that takes one drop and prints what it got:
//     DROP <action> <the text/uri-list data, on one line>
// then quits once the drop is finished. The file-shelf drag test drops on it, since a drop inside one process
// does not go through the X drag-and-drop protocol.
#include <QApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QTimer>
#include <QWidget>

#include <cstdio>

namespace {

class Target : public QWidget {
protected:
    void dragEnterEvent(QDragEnterEvent* event) override {
        if (event->mimeData()->hasFormat(QStringLiteral("text/uri-list")))
            event->acceptProposedAction();
    }
    void dragMoveEvent(QDragMoveEvent* event) override { event->acceptProposedAction(); }
    void dropEvent(QDropEvent* event) override {
        QByteArray list = event->mimeData()->data(QStringLiteral("text/uri-list"));
        list.replace("\r\n", " ");
        const char* action = event->dropAction() == Qt::CopyAction   ? "copy"
                             : event->dropAction() == Qt::LinkAction ? "link"
                                                                     : "move";
        std::printf("DROP %s %s\n", action, list.trimmed().constData());
        std::fflush(stdout);
        event->acceptProposedAction();
        // Quitting inside the drop made Qt's X11 drag handling crash on the events that followed
        // (a segfault at every run): the drop is finished first.
        QTimer::singleShot(100, qApp, &QApplication::quit);
    }
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    Target target;
    target.setWindowTitle(QStringLiteral("Drop Target"));
    target.setAcceptDrops(true);
    target.setGeometry(700, 200, 300, 240);
    target.show();
    std::printf("READY\n");
    std::fflush(stdout);
    return app.exec();
}
