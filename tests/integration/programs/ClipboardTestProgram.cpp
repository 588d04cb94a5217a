// Another program for the clipboard tests, in one of two roles:
//   receive FILE        a window with a text field; whatever reaches the field is written to FILE
//   own-secret TEXT     copies TEXT marked for password managers ("x-kde-passwordManagerHint"
//                       = "secret" beside the text) and keeps the clipboard until it is killed
#include <QApplication>
#include <QClipboard>
#include <QFile>
#include <QMimeData>
#include <QPlainTextEdit>

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
    if (args[1] != QLatin1String("receive"))
        return 2;
    QPlainTextEdit field;
    field.setWindowTitle(QStringLiteral("Clipboard receiver"));
    field.setGeometry(200, 150, 300, 200);
    const QString path = args[2];
    QObject::connect(&field, &QPlainTextEdit::textChanged, [&] {
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            file.write(field.toPlainText().toUtf8());
    });
    field.show();
    return QApplication::exec();
}
