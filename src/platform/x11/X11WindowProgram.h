#pragma once

#include <QImage>
#include <QString>

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>

namespace corvane {

class X11Connection;

// What a client window tells of its program beyond its name: its own picture (_NET_WM_ICON, else
// the WM_HINTS icon pixmap that older toolkits set) and the executable that runs it. Reads on a
// connection of its own, made on first use. Callable from any thread.
class X11WindowProgram {
public:
    X11WindowProgram();
    ~X11WindowProgram();

    // The window's own icon, the size nearest to `side` pixels (the larger one on a tie); none
    // when it sets none or is gone.
    std::optional<QImage> icon(uint32_t window, int side);
    // The program that shows the window: the first word of its WM_COMMAND, as a path or found on
    // PATH, else the executable of its process (`pid`, 0 when unknown); none when neither names a
    // program that exists.
    std::optional<QString> executable(uint32_t window, int32_t pid);

    // The executable behind a running process; none when the process is gone, is not ours to
    // read, or its file was deleted since it started.
    static std::optional<QString> processExecutable(int32_t pid);
    // The program a command word names: itself when it is a path to an executable, else the
    // executable of that name on PATH.
    static std::optional<QString> programForCommand(const QString& word);

private:
    X11Connection* connection();
    std::optional<QImage> netIcon(uint32_t window, int side);
    std::optional<QImage> hintsIcon(uint32_t window);

    std::mutex m_mutex;
    std::unique_ptr<X11Connection> m_connection;
    uint32_t m_netWmIcon = 0;
};

} // namespace corvane
