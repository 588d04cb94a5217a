#pragma once

#include <QWidget>

#include <functional>

namespace corvane {

struct SettingsServices;
class OnboardingView;

// The welcome window: fixed in size, closable but neither resizable nor minimisable, with the
// onboarding view as its content. Return presses the footer button. It tells its controller
// when it closes.
class OnboardingWindow : public QWidget {
    Q_OBJECT
public:
    OnboardingWindow(const SettingsServices& services, std::function<void()> onDone,
                     QWidget* parent = nullptr);

    OnboardingView& view() const { return *m_view; }

Q_SIGNALS:
    void willClose();

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    OnboardingView* m_view = nullptr;
};

} // namespace corvane
