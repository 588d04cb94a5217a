#include "settings/WorkspaceItemRow.h"

#include "core/AppIcons.h"
#include "settings/FormSection.h"
#include "settings/FramePreview.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QToolButton>
#include <QVBoxLayout>

namespace corvane {

WorkspaceItemRow::WorkspaceItemRow(const WorkspaceItem& item, AppIcons& icons, bool canMoveUp,
                                   bool canMoveDown, QWidget* parent)
    : QWidget(parent), m_id(item.id) {
    auto* row = new QHBoxLayout(this);
    row->setContentsMargins(0, 2, 0, 2);
    row->setSpacing(10);
    // A program saved by its executable (one without a desktop entry) shows the picture the icon
    // theme has under the executable's name, if any.
    std::optional<QIcon> icon = icons.appIconForBundleID(item.bundleID);
    if (!icon && item.appPath && !item.appPath->endsWith(QStringLiteral(".desktop")))
        icon = AppIcons::appIconForExecutable(*item.appPath);
    if (icon) {
        auto* picture = new QLabel;
        picture->setPixmap(icon->pixmap(QSize(28, 28), devicePixelRatioF()));
        picture->setFixedSize(28, 28);
        row->addWidget(picture);
    }
    auto* texts = new QVBoxLayout;
    texts->setSpacing(3);
    auto* name = new QLabel(item.appName.value_or(item.bundleID));
    name->setTextFormat(Qt::PlainText);
    QFont nameFont = name->font();
    nameFont.setPixelSize(13);
    nameFont.setWeight(QFont::Medium);
    name->setFont(nameFont);
    texts->addWidget(name);
    m_title = new QLineEdit(item.titleContains.value_or(QString()));
    m_title->setPlaceholderText(QStringLiteral("Title contains (optional)"));
    m_title->setMinimumWidth(80);
    QFont small = m_title->font();
    small.setPixelSize(11);
    m_title->setFont(small);
    connect(m_title, &QLineEdit::textEdited, this, &WorkspaceItemRow::titleEdited);
    texts->addWidget(m_title);
    row->addLayout(texts, 1);
    row->addWidget(new FramePreview(item.relativeFrame));

    const QColor ink = palette().color(QPalette::WindowText);
    auto* arrows = new QVBoxLayout;
    arrows->setSpacing(2);
    m_up = symbolButton(QStringLiteral("chevron.up"), ink, 10, QStringLiteral("Move up"));
    m_down = symbolButton(QStringLiteral("chevron.down"), ink, 10, QStringLiteral("Move down"));
    m_up->setEnabled(canMoveUp);
    m_down->setEnabled(canMoveDown);
    connect(m_up, &QToolButton::clicked, this, [this] { Q_EMIT moveRequested(-1); });
    connect(m_down, &QToolButton::clicked, this, [this] { Q_EMIT moveRequested(1); });
    arrows->addWidget(m_up);
    arrows->addWidget(m_down);
    row->addLayout(arrows);
    QColor secondary = ink;
    secondary.setAlphaF(0.5f);
    m_remove = symbolButton(QStringLiteral("minus.circle.fill"), secondary, 16, QStringLiteral("Remove"));
    connect(m_remove, &QToolButton::clicked, this, &WorkspaceItemRow::removeRequested);
    row->addWidget(m_remove);
}

void WorkspaceItemRow::showTitle(const std::optional<QString>& fragment) {
    const QString text = fragment.value_or(QString());
    if (m_title->text() != text)
        m_title->setText(text);
}

} // namespace corvane
