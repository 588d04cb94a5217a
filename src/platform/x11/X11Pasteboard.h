#pragma once

#include "platform/Pasteboard.h"

#include <QByteArray>
#include <QMetaObject>

#include <xcb/xcb.h>

#include <memory>
#include <optional>

namespace corvane {

class X11Connection;

// The CLIPBOARD selection. The change count counts the server's selection-owner notifications
// (XFixes) on a connection of its own, so a program that copies twice from the same window still
// counts twice. The offered types are asked of the owner directly, so they always describe the
// current owner; the content itself is read and written through Qt's clipboard. Without XFixes
// (or without X) Qt's change signal is counted instead.
class X11Pasteboard final : public Pasteboard {
public:
    explicit X11Pasteboard(const QByteArray& displayName = {});
    ~X11Pasteboard() override;

    qint64 changeCount() override;
    QStringList types() override;
    QByteArray data(const QString& type) override;
    void write(const std::vector<std::pair<QString, QByteArray>>& representations) override;

private:
    void collectNotifications();
    std::optional<QStringList> ownerTargets();

    std::unique_ptr<X11Connection> m_x;
    xcb_window_t m_requestor = XCB_WINDOW_NONE;
    xcb_atom_t m_clipboard = XCB_ATOM_NONE;
    xcb_atom_t m_targets = XCB_ATOM_NONE;
    xcb_atom_t m_property = XCB_ATOM_NONE;
    std::optional<uint8_t> m_xfixesEvent;
    qint64 m_changes = 0;
    QMetaObject::Connection m_qtChanges;
};

} // namespace corvane
