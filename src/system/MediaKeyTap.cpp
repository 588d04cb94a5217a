#include "system/MediaKeyTap.h"

#include "core/EventTapThread.h"

#include <memory>

namespace corvane {

namespace {

constexpr qint64 storedShift = 0x200;
constexpr qint64 storedOption = 0x800;

} // namespace

Qt::Key qtKeyOf(MediaKey key) {
    switch (key) {
    case MediaKey::volumeUp:
        return Qt::Key_VolumeUp;
    case MediaKey::volumeDown:
        return Qt::Key_VolumeDown;
    case MediaKey::brightnessUp:
        return Qt::Key_MonBrightnessUp;
    case MediaKey::brightnessDown:
        return Qt::Key_MonBrightnessDown;
    case MediaKey::mute:
        return Qt::Key_VolumeMute;
    }
    return Qt::Key_unknown;
}

std::optional<MediaKey> mediaKeyOf(Qt::Key key) {
    for (MediaKey k : {MediaKey::volumeUp, MediaKey::volumeDown, MediaKey::brightnessUp,
                       MediaKey::brightnessDown, MediaKey::mute})
        if (qtKeyOf(k) == key)
            return k;
    return std::nullopt;
}

bool isFineStep(qint64 storedModifiers) {
    return (storedModifiers & (storedShift | storedOption)) == (storedShift | storedOption);
}

std::function<bool(const std::vector<MediaKey>&, NotchController::KeyHandler)>
mediaKeyGrabber(EventTapThread& thread) {
    auto tap = std::make_shared<std::optional<KeyTaps::Id>>();
    return [&thread, tap](const std::vector<MediaKey>& keys, NotchController::KeyHandler handler) {
        if (*tap) {
            thread.removeTap(**tap);
            tap->reset();
        }
        if (keys.empty())
            return true;
        std::vector<Qt::Key> qtKeys;
        for (MediaKey key : keys)
            qtKeys.push_back(qtKeyOf(key));
        *tap = thread.addTap(qtKeys, [handler](const TappedKey& tapped) {
            if (const auto key = mediaKeyOf(tapped.key))
                handler(*key, tapped.pressed, isFineStep(tapped.modifiers));
        });
        return tap->has_value();
    };
}

} // namespace corvane
