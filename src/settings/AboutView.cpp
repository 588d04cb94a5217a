#include "settings/AboutView.h"

#include "core/Colors.h"
#include "settings/ApplicationIcon.h"
#include "settings/FormSection.h"

#include <QCoreApplication>
#include <QGraphicsDropShadowEffect>
#include <QLabel>
#include <QVBoxLayout>

namespace corvane {
namespace {

QLabel* line(const QString& text, int pixelSize, QFont::Weight weight) {
    auto* label = new QLabel(text);
    label->setTextFormat(Qt::PlainText);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setPixelSize(pixelSize);
    font.setWeight(weight);
    label->setFont(font);
    return label;
}

} // namespace

QString AboutView::versionLine() {
    QString version = QCoreApplication::applicationVersion();
    if (version.isEmpty())
        version = QStringLiteral("1.0");
#ifdef CORVANE_BUILD
    const QString build = QStringLiteral(CORVANE_BUILD);
#else
    const QString build = QStringLiteral("1");
#endif
    return QStringLiteral("Version %1 (%2)").arg(version, build);
}

AboutView::AboutView(QWidget* parent) : SettingsPage(SettingsTab::about, parent) {
    auto* column = new QWidget;
    auto* layout = new QVBoxLayout(column);
    layout->setSpacing(14);
    layout->addStretch(1);

    auto* icon = new QLabel;
    icon->setPixmap(applicationIcon(112, devicePixelRatioF()));
    icon->setAlignment(Qt::AlignCenter);
    auto* shadow = new QGraphicsDropShadowEffect(icon);
    shadow->setColor(QColor(0, 0, 0, 51));
    shadow->setBlurRadius(20);
    shadow->setOffset(0, 5);
    icon->setGraphicsEffect(shadow);
    layout->addWidget(icon);

    layout->addWidget(line(QStringLiteral("Corvane"), 30, QFont::Bold));
    QLabel* maker = line(QStringLiteral("by Lumenforge"), 14, QFont::DemiBold);
    QPalette brand = maker->palette();
    brand.setColor(QPalette::WindowText, brandColor());
    maker->setPalette(brand);
    layout->addWidget(maker);
    QLabel* version = captionLabel(versionLine());
    version->setAlignment(Qt::AlignCenter);
    layout->addWidget(version);
    QLabel* tagline = captionLabel(
        QStringLiteral("A compact window strip, project workspaces and a snap wheel for the Linux desktop."));
    tagline->setAlignment(Qt::AlignCenter);
    QFont taglineFont = tagline->font();
    taglineFont.setPixelSize(12);
    tagline->setFont(taglineFont);
    layout->addWidget(tagline);
    layout->addStretch(1);
    // The column takes the whole page, in place of the stretch that keeps other pages' sections at
    // the top, so its own stretches centre it.
    form().insertWidget(form().count() - 1, column, 1);
    form().setStretch(form().count() - 1, 0);
}

} // namespace corvane
