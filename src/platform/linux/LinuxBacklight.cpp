#include "platform/linux/LinuxBacklight.h"

#include <QDBusMessage>
#include <QDir>
#include <QFile>

#include <algorithm>
#include <cmath>

namespace corvane {

namespace {

int typeRank(const QString& type) {
    if (type == QLatin1String("firmware"))
        return 0;
    if (type == QLatin1String("platform"))
        return 1;
    return 2;
}

QString readText(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return {};
    return QString::fromLatin1(file.read(64)).trimmed();
}

} // namespace

LinuxBacklight::LinuxBacklight(QString root, QDBusConnection bus)
    : m_root(std::move(root)), m_bus(std::move(bus)) {
    int best = 3;
    const QStringList devices = QDir(m_root).entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name);
    for (const QString& device : devices) {
        const QString base = m_root + QLatin1Char('/') + device + QLatin1Char('/');
        const auto maximum = readNumber(base + QStringLiteral("max_brightness"));
        if (!maximum || *maximum <= 0)
            continue;
        const int rank = typeRank(readText(base + QStringLiteral("type")));
        if (rank < best) {
            best = rank;
            m_device = device;
        }
    }
}

std::optional<long long> LinuxBacklight::readNumber(const QString& file) const {
    bool ok = false;
    const long long value = readText(file).toLongLong(&ok);
    return ok && value >= 0 ? std::optional<long long>(value) : std::nullopt;
}

std::optional<float> LinuxBacklight::brightness() {
    if (m_device.isEmpty())
        return std::nullopt;
    const QString base = m_root + QLatin1Char('/') + m_device + QLatin1Char('/');
    const auto maximum = readNumber(base + QStringLiteral("max_brightness"));
    const auto current = readNumber(base + QStringLiteral("brightness"));
    if (!maximum || !current || *maximum <= 0)
        return std::nullopt;
    return std::clamp(float(*current) / float(*maximum), 0.0f, 1.0f);
}

bool LinuxBacklight::setBrightness(float value) {
    if (m_device.isEmpty() || !std::isfinite(value) || !m_bus.isConnected())
        return false;
    const auto maximum = readNumber(m_root + QLatin1Char('/') + m_device + QStringLiteral("/max_brightness"));
    if (!maximum || *maximum <= 0)
        return false;
    const auto raw = uint32_t(std::lround(double(std::clamp(value, 0.0f, 1.0f)) * double(*maximum)));
    QDBusMessage call = QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.login1"), QStringLiteral("/org/freedesktop/login1/session/auto"),
        QStringLiteral("org.freedesktop.login1.Session"), QStringLiteral("SetBrightness"));
    call << QStringLiteral("backlight") << m_device << raw;
    // The keys are served while they wait: a login manager that does not answer soon fails the step.
    const QDBusMessage reply = m_bus.call(call, QDBus::Block, 500);
    return reply.type() == QDBusMessage::ReplyMessage;
}

} // namespace corvane
