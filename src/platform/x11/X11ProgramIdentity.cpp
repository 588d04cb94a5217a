#include "platform/x11/X11ProgramIdentity.h"

#include <QFile>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace corvane {

namespace {

const QString kDesktopSuffix = QStringLiteral(".desktop");

QString withoutDesktopSuffix(QString id) {
    if (id.endsWith(kDesktopSuffix))
        id.chop(kDesktopSuffix.size());
    return id;
}

} // namespace

QString X11ProgramIdentities::processName(int32_t pid) {
    if (pid <= 0)
        return {};
    QFile comm(QStringLiteral("/proc/%1/comm").arg(pid));
    if (!comm.open(QIODevice::ReadOnly))
        return {};
    return QString::fromUtf8(comm.readAll()).trimmed();
}

std::optional<X11ProgramIdentities::Entry> X11ProgramIdentities::entryWithID(const QString& id) {
    // Ids with a path separator are not desktop-file ids and GIO would read them as paths.
    if (id.isEmpty() || id.contains(u'/'))
        return std::nullopt;
    if (auto found = m_byID.constFind(id); found != m_byID.constEnd())
        return *found;
    std::optional<Entry> entry;
    const QByteArray desktopID = (id + kDesktopSuffix).toUtf8();
    if (GDesktopAppInfo* info = g_desktop_app_info_new(desktopID.constData())) {
        entry = Entry{id, QString::fromUtf8(g_app_info_get_name(G_APP_INFO(info)))};
        g_object_unref(info);
    }
    m_byID.insert(id, entry);
    return entry;
}

std::optional<X11ProgramIdentities::Entry> X11ProgramIdentities::entryForClass(const QByteArray& instance,
                                                                               const QByteArray& className) {
    const QString key = QString::fromUtf8(instance) + u'\n' + QString::fromUtf8(className);
    if (auto found = m_byClass.constFind(key); found != m_byClass.constEnd())
        return *found;
    std::optional<Entry> entry;
    // An entry whose id is the instance or class name, as written or lower-cased.
    for (const QByteArray& name : {instance, className}) {
        const QString text = QString::fromUtf8(name);
        if (!entry)
            entry = entryWithID(text);
        if (!entry && text != text.toLower())
            entry = entryWithID(text.toLower());
    }
    // Else an entry that declares the class as its StartupWMClass.
    if (!entry) {
        if (!m_byStartupClass) {
            m_byStartupClass.emplace();
            GList* all = g_app_info_get_all();
            for (GList* item = all; item; item = item->next) {
                auto* info = static_cast<GAppInfo*>(item->data);
                if (!G_IS_DESKTOP_APP_INFO(info))
                    continue;
                const char* wmClass = g_desktop_app_info_get_startup_wm_class(G_DESKTOP_APP_INFO(info));
                const char* id = g_app_info_get_id(info);
                if (wmClass && id)
                    m_byStartupClass->insert(QString::fromUtf8(wmClass).toLower(),
                                             Entry{withoutDesktopSuffix(QString::fromUtf8(id)),
                                                   QString::fromUtf8(g_app_info_get_name(info))});
            }
            g_list_free_full(all, g_object_unref);
        }
        for (const QByteArray& name : {className, instance}) {
            if (auto found = m_byStartupClass->constFind(QString::fromUtf8(name).toLower());
                !entry && !name.isEmpty() && found != m_byStartupClass->constEnd())
                entry = *found;
        }
    }
    m_byClass.insert(key, entry);
    return entry;
}

X11ProgramIdentity X11ProgramIdentities::identify(const X11WindowFacts& window) {
    std::lock_guard lock(m_mutex);
    X11ProgramIdentity identity;
    const QByteArray instance = window.wmClass.size() > 0 ? window.wmClass[0] : QByteArray();
    const QByteArray className = window.wmClass.size() > 1 ? window.wmClass[1] : QByteArray();
    identity.className = QString::fromUtf8(className);
    if (!window.applicationID.isEmpty()) {
        identity.bundleID = withoutDesktopSuffix(window.applicationID);
        if (std::optional<Entry> entry = entryWithID(*identity.bundleID))
            identity.entryName = entry->name;
        return identity;
    }
    if (instance.isEmpty() && className.isEmpty())
        return identity;
    if (std::optional<Entry> entry = entryForClass(instance, className)) {
        identity.bundleID = entry->id;
        identity.entryName = entry->name;
    } else if (!className.isEmpty()) {
        identity.bundleID = identity.className;
    }
    return identity;
}

} // namespace corvane
