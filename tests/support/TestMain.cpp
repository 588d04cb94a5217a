// The main of every unit-test binary: a QApplication on Qt's offscreen platform, then GoogleTest.
#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>

namespace {

const char* const xdgVariables[] = {"XDG_CONFIG_HOME", "XDG_DATA_HOME", "XDG_CACHE_HOME"};

void pointXdgInto(const QTemporaryDir& home) {
    for (const char* variable : xdgVariables)
        qputenv(variable, (home.path() + "/" + variable).toUtf8());
}

// Each test starts with XDG folders of its own, so what one test saves (a workspace, a
// preference, a clipboard store) cannot change the next; they are deleted after it.
class OwnXdgFolders : public ::testing::EmptyTestEventListener {
public:
    void OnTestStart(const ::testing::TestInfo&) override {
        m_home = std::make_unique<QTemporaryDir>();
        pointXdgInto(*m_home);
    }
    void OnTestEnd(const ::testing::TestInfo&) override { m_home.reset(); }

private:
    std::unique_ptr<QTemporaryDir> m_home;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("DBUS_SESSION_BUS_ADDRESS"))
        qputenv("DBUS_SESSION_BUS_ADDRESS", "disabled:");
    // Nothing a unit test does may reach the user's own preferences or saved data, also outside
    // a test (suite set-up, static instances).
    QTemporaryDir home;
    pointXdgInto(home);
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::UnitTest::GetInstance()->listeners().Append(new OwnXdgFolders);
    return RUN_ALL_TESTS();
}
