#pragma once

#include <QObject>

namespace corvane {

// Updates come from the system's package manager here; the updater only keeps its two
// switches so the settings window can show them, and reports itself unavailable.
class Updater : public QObject {
    Q_OBJECT
public:
    bool isAvailable() const { return false; }
    bool automaticallyChecksForUpdates() const { return m_checks; }
    void setAutomaticallyChecksForUpdates(bool value) { m_checks = value; }
    bool automaticallyDownloadsUpdates() const { return m_downloads; }
    void setAutomaticallyDownloadsUpdates(bool value) { m_downloads = value; }

private:
    bool m_checks = false;
    bool m_downloads = false;
};

} // namespace corvane
