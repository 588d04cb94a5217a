#pragma once

#include <QSize>
#include <QWidget>

namespace corvane {

struct SettingsServices;
class SettingsNavigation;
class SettingsView;

// The settings window itself: titled, closable, resizable, with the settings view as its whole
// content. It tells its controller when it closes; the controller then lets it go.
class SettingsWindow : public QWidget {
    Q_OBJECT
public:
    SettingsWindow(const SettingsServices& services, SettingsNavigation& nav, QWidget* parent = nullptr);

    SettingsView& view() const { return *m_view; }

    static constexpr QSize contentSize{920, 640};
    static constexpr QSize minimumContentSize{860, 560};

Q_SIGNALS:
    void willClose();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    SettingsView* m_view = nullptr;
};

} // namespace corvane
