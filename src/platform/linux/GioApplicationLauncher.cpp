#include "platform/linux/GioApplicationLauncher.h"

#include <QFileInfo>

#include <gio/gdesktopappinfo.h>
#include <gio/gio.h>

namespace corvane {

namespace {

// The desktop-file id of an entry, with the ".desktop" suffix GIO expects.
QByteArray desktopFileID(const QString& bundleID) {
    return (bundleID.endsWith(QStringLiteral(".desktop")) ? bundleID : bundleID + QStringLiteral(".desktop"))
        .toUtf8();
}

// Frees a GObject when it leaves scope.
template <typename T> struct GObjectRef {
    T* object = nullptr;
    ~GObjectRef() {
        if (object)
            g_object_unref(object);
    }
};

QByteArray quoted(const QString& text) {
    gchar* q = g_shell_quote(text.toUtf8().constData());
    QByteArray result(q);
    g_free(q);
    return result;
}

void notePid(GDesktopAppInfo*, GPid pid, gpointer data) {
    *static_cast<std::optional<int32_t>*>(data) = pid;
}

} // namespace

QString GioApplicationLauncher::withoutFieldCodes(const QString& exec) {
    static const QString codes = QStringLiteral("fFuUdDnNickvm");
    QString result;
    for (qsizetype i = 0; i < exec.size(); ++i) {
        if (exec[i] != QLatin1Char('%') || i + 1 >= exec.size()) {
            result += exec[i];
            continue;
        }
        const QChar code = exec[++i];
        if (code == QLatin1Char('%'))
            result += QStringLiteral("%%");
        else if (!codes.contains(code))
            result += QLatin1Char('%') + code;
    }
    return result.trimmed();
}

std::optional<QString> GioApplicationLauncher::locate(const QString& bundleID,
                                                      const std::optional<QString>& path) {
    if (path && !path->isEmpty() && QFileInfo::exists(*path))
        return *path;
    if (bundleID.isEmpty())
        return std::nullopt;
    GObjectRef<GDesktopAppInfo> info{g_desktop_app_info_new(desktopFileID(bundleID).constData())};
    if (!info.object)
        return std::nullopt;
    const char* filename = g_desktop_app_info_get_filename(info.object);
    return filename ? std::optional<QString>(QString::fromUtf8(filename)) : std::nullopt;
}

std::optional<QString> GioApplicationLauncher::programOfWindow(uint32_t windowID, int32_t pid) {
    return m_windows ? m_windows->executable(windowID, pid) : X11WindowProgram::processExecutable(pid);
}

ApplicationLauncher::Outcome GioApplicationLauncher::launch(const QString& location,
                                                            const QStringList& documents,
                                                            const QStringList& arguments) {
    GError* error = nullptr;
    GObjectRef<GDesktopAppInfo> entry;
    const QFileInfo file(location);
    if (location.endsWith(QStringLiteral(".desktop")) && file.isFile()) {
        entry.object = g_desktop_app_info_new_from_filename(QFile::encodeName(location).constData());
    }

    GObjectRef<GAppInfo> commandLine;
    GAppInfo* app = G_APP_INFO(entry.object);
    // An entry's Exec line takes documents but no extra arguments: with arguments the entry's
    // whole command, without its field codes, is started with the arguments after it. A plain
    // executable is started from its own path.
    if (!entry.object || !arguments.isEmpty()) {
        QByteArray line;
        if (entry.object) {
            const char* exec = g_app_info_get_commandline(G_APP_INFO(entry.object));
            if (!exec)
                return {std::nullopt, QStringLiteral("the entry names no program")};
            line = withoutFieldCodes(QString::fromUtf8(exec)).toUtf8();
        } else if (!file.isFile() || !file.isExecutable()) {
            return {std::nullopt,
                    QStringLiteral("%1 is neither a desktop entry nor a program").arg(location)};
        } else {
            line = QByteArray(quoted(location)).replace('%', "%%");
        }
        for (const QString& argument : arguments) {
            // Field codes in arguments must not be expanded.
            line += ' ' + QByteArray(quoted(argument)).replace('%', "%%");
        }
        line += " %F";
        commandLine.object =
            g_app_info_create_from_commandline(line.constData(), nullptr, G_APP_INFO_CREATE_NONE, &error);
        if (!commandLine.object) {
            const QString message = error ? QString::fromUtf8(error->message) : QString();
            g_clear_error(&error);
            return {std::nullopt, message};
        }
        app = commandLine.object;
    }

    GList* files = nullptr;
    for (const QString& document : documents) {
        GFile* f = g_file_new_for_path(QFile::encodeName(document).constData());
        files = g_list_append(files, g_file_get_uri(f));
        g_object_unref(f);
    }

    std::optional<int32_t> pid;
    const gboolean ok = g_desktop_app_info_launch_uris_as_manager(G_DESKTOP_APP_INFO(app), files, nullptr,
                                                                  G_SPAWN_SEARCH_PATH, nullptr, nullptr,
                                                                  notePid, &pid, &error);
    g_list_free_full(files, g_free);
    if (!ok) {
        const QString message = error ? QString::fromUtf8(error->message) : QStringLiteral("launch failed");
        g_clear_error(&error);
        return {std::nullopt, message};
    }
    if (!pid)
        return {std::nullopt, QStringLiteral("the program's process is not known")};
    return {pid, {}};
}

} // namespace corvane
