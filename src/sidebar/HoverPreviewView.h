#pragma once

#include <QImage>
#include <QMetaObject>
#include <QString>
#include <QWidget>

#include <memory>
#include <optional>

namespace corvane {

class AppIcons;
class HoverPreviewModel;
class ThumbnailBox;
class ThumbnailService;
struct WindowInfo;

// The hover preview card: a large picture of the window over its icon, title, program name and,
// for a minimised or hidden window, a word saying so. Empty while the model has no window. It
// redraws when the model, the large hover capture or the window's own thumbnail changes.
class HoverPreviewView : public QWidget {
    Q_OBJECT
public:
    HoverPreviewView(HoverPreviewModel& model, ThumbnailService& thumbnails, AppIcons& icons,
                     QWidget* parent = nullptr);
    ~HoverPreviewView() override;

    // The picture for the model's window: the large capture when it belongs to the window, else
    // the window's thumbnail; none when neither exists.
    std::optional<QImage> picture() const;
    // The window's title, or its program's name when it has no title.
    static QString displayTitle(const WindowInfo& window);
    // "Minimized" or "Hidden" (a minimised window says only that), else empty.
    static QString stateText(const WindowInfo& window);

    static constexpr double inset = 10;
    static constexpr double spacing = 8;
    static constexpr double titleRowHeight = 30;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void windowChanged();

    HoverPreviewModel& m_model;
    ThumbnailService& m_thumbnails;
    AppIcons& m_icons;
    std::shared_ptr<ThumbnailBox> m_box;
    QMetaObject::Connection m_boxConnection;
};

} // namespace corvane
