// Another program for the clipboard tests, in one of two roles:
//   receive FILE        a window with a text field; whatever reaches the field is written to FILE
//   log-keys FILE       a window that writes the name of every key pressed in it to FILE, a line each
//   own-secret TEXT     copies TEXT marked for password managers ("x-kde-passwordManagerHint"
//                       = "secret" beside the text) and keeps the clipboard until it is killed
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMimeData>
#include <QPlainTextEdit>

namespace {

class KeyLog : public QObject {
public:
    explicit KeyLog(QFile& file) : m_file(file) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        // A key reaches the window and then its parents: the window alone logs it.
        if (event->type() == QEvent::KeyPress && watched->isWindowType()) {
            m_file.write(QKeySequence(static_cast<QKeyEvent*>(event)->key()).toString().toUtf8() + "\n");
            m_file.flush();
        }
        return false;
    }

private:
    QFile& m_file;
};

} // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    const QStringList args = QApplication::arguments();
    if (args.size() != 3)
        return 2;
    if (args[1] == QLatin1String("own-secret")) {
        auto* mime = new QMimeData;
        mime->setText(args[2]);
        mime->setData(QStringLiteral("x-kde-passwordManagerHint"), "secret");
        QApplication::clipboard()->setMimeData(mime, QClipboard::Clipboard);
        return QApplication::exec();
    }
    if (args[1] == QLatin1String("log-keys")) {
        QFile log(args[2]);
        if (!log.open(QIODevice::WriteOnly | QIODevice::Append))
            return 1;
        QWidget window;
        window.setWindowTitle(QStringLiteral("Key logger"));
        window.setGeometry(200, 150, 300, 200);
        KeyLog logger(log);
        app.installEventFilter(&logger);
        window.show();
        return QApplication::exec();
    }
    if (args[1] != QLatin1String("receive"))
        return 2;
    QPlainTextEdit field;
    field.setWindowTitle(QStringLiteral("Clipboard receiver"));
    field.setGeometry(200, 150, 300, 200);
    const QString& path = args[2];
    QObject::connect(&field, &QPlainTextEdit::textChanged, [&] {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(field.toPlainText().toUtf8());
    });
    field.show();
    return QApplication::exec();
}
