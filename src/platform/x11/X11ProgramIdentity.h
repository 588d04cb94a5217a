#pragma once

#include "platform/x11/X11WindowFacts.h"

#include <QHash>
#include <QString>

#include <mutex>
#include <optional>

namespace corvane {

// Who a window belongs to, as the desktop names programs.
struct X11ProgramIdentity {
    // The desktop-file id: the one the toolkit announces, else the installed entry matching
    // WM_CLASS, else the WM_CLASS class itself; none for a window without any of them.
    std::optional<QString> bundleID;
    // The installed entry's Name, when an entry was found.
    std::optional<QString> entryName;
    QString className;
};

// Matches windows to installed .desktop entries (through GIO). Callable from any thread; the
// answers are cached for the life of the object.
class X11ProgramIdentities {
public:
    X11ProgramIdentity identify(const X11WindowFacts& window);

    // The process's command name from /proc; empty when the process is gone.
    static QString processName(int32_t pid);

private:
    struct Entry {
        QString id;
        QString name;
    };
    std::optional<Entry> entryWithID(const QString& id);
    std::optional<Entry> entryForClass(const QByteArray& instance, const QByteArray& className);

    std::mutex m_mutex;
    QHash<QString, std::optional<Entry>> m_byID;
    QHash<QString, std::optional<Entry>> m_byClass;
    std::optional<QHash<QString, Entry>> m_byStartupClass; // lower-cased StartupWMClass
};

} // namespace corvane
