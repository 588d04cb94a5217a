#pragma once

#include "platform/PanelWindowing.h"

#include <QHash>
#include <QImage>
#include <QList>
#include <QPair>
#include <QPointer>
#include <QRect>
#include <QRegion>
#include <QWindow>

namespace corvane {

// Remembers which panel windows were put on every desktop, once per request. A compositing
// manager runs until a test stops it.
class FakePanelWindowing final : public PanelWindowing {
    Q_OBJECT
public:
    void showOnAllDesktops(QWindow& window) override { requests.append(QPointer<QWindow>(&window)); }
    void offerNoMinimise(QWindow& window) override { unminimisable.append(QPointer<QWindow>(&window)); }
    bool isCompositing() const override { return m_compositing; }
    void showWithoutActivating(QWindow& window) override { quietShows.append(QPointer<QWindow>(&window)); }
    void stackAboveFullScreen(QWindow& window) override {
        aboveFullScreen.append(QPointer<QWindow>(&window));
    }
    void setCompositorShadow(QWindow& window, bool shadow) override { shadows.insert(&window, shadow); }
    void setInputShape(QWindow& window, const QRegion& region) override {
        inputShapes.insert(&window, region);
    }
    void whenExposed(QWindow& window, std::function<void()> onExposed) override {
        exposeActions.insert(&window, std::move(onExposed));
    }
    void whenMapped(QWindow& window, std::function<void()> onMapped) override {
        mapActions.insert(&window, std::move(onMapped));
    }
    // The window is on screen: what waited for its map, then for its exposure, runs, once.
    void expose(const QWindow& window) {
        if (const std::function<void()> action = mapActions.take(&window))
            action();
        if (const std::function<void()> action = exposeActions.take(&window))
            action();
    }

    void showFirstPicture(QWindow& window, const QImage& picture) override {
        // A copy of the pixels, as the server takes them.
        firstPictures.insert(&window, picture.copy());
    }
    bool canMapNow(const QWindow& window) const override {
        return window.flags().testFlag(Qt::BypassWindowManagerHint) || managedWindowsMapNow;
    }
    void mapNow(QWindow& window, const QRect& geometry) override {
        mappedNow.append({&window, geometry});
        hintsAtMapNow.append(requestCount(&window));
    }
    void unmapNow(QWindow& window) override { unmappedNow.append(&window); }
    bool showFirstPictureAgain(QWindow& window) override {
        if (firstPictures.value(&window).isNull())
            return false;
        ++firstPicturesGivenAgain;
        return true;
    }
    void setListedInTaskbars(QWindow& window, bool listed) override {
        listedInTaskbars.insert(&window, listed);
    }
    // Answers at once, as a desktop whose window manager does not say: the toolkit's own
    // offscreen windows know their frame from the start.
    void askFrameMargins(QWindow&, std::function<void(std::optional<QMargins>)> answer) override {
        answer(std::nullopt);
    }

    // Starts or stops the compositing manager, announcing a change.
    void setCompositing(bool compositing);
    quint64 activeWindow() const override { return active; }
    void activateWindow(quint64 window) override {
        activations.append(window);
        active = window;
    }
    // The desktop's active window follows only what the window manager is asked.
    void giveKeyboard(quint64 window) override { keyboardGifts.append(window); }

    int requestCount(const QWindow* window) const;

    quint64 active = 0;
    QList<quint64> activations;
    QList<quint64> keyboardGifts;

    QList<QPointer<QWindow>> requests;
    QList<QPointer<QWindow>> unminimisable;
    QList<QPointer<QWindow>> quietShows;
    QList<QPointer<QWindow>> aboveFullScreen;
    // The last shadow wish per window.
    QHash<const QWindow*, bool> shadows;
    // The last first picture per window (null once forgotten).
    QHash<const QWindow*, QImage> firstPictures;
    // Whether a window a window manager takes in can be mapped at once (as one that has shown).
    bool managedWindowsMapNow = true;
    // The windows mapped at once, with their geometry, and how often each had been given its
    // desktop hints by then.
    QList<QPair<QPointer<QWindow>, QRect>> mappedNow;
    QList<int> hintsAtMapNow;
    QList<QPointer<QWindow>> unmappedNow;
    // How many times a window was given its last first picture again.
    int firstPicturesGivenAgain = 0;
    // The last taskbar wish per window.
    QHash<const QWindow*, bool> listedInTaskbars;
    // The last input shape per window (empty: the whole window).
    QHash<const QWindow*, QRegion> inputShapes;
    // What each window waits to be exposed for (empty once forgotten).
    QHash<const QWindow*, std::function<void()>> exposeActions;
    QHash<const QWindow*, std::function<void()>> mapActions;

private:
    bool m_compositing = true;
};

} // namespace corvane
