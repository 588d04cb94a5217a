#include "support/FocusedPrograms.h"

#include "platform/Platform.h"
#include "support/IntegrationMain.h"
#include "support/ServerQueries.h"
#include "support/VirtualDesktop.h"

#include <QTest>

#include <gtest/gtest.h>

namespace corvane::testing {

FocusedPrograms::~FocusedPrograms() {
    for (QProcess* program : m_programs)
        program->kill();
    for (QProcess* program : m_programs)
        program->waitForFinished(2000);
}

xcb_window_t FocusedPrograms::openLogo(Platform& platform) {
    return open(platform, QStringLiteral("xlogo"),
                {QStringLiteral("-geometry"), QStringLiteral("300x200+200+150")});
}

xcb_window_t FocusedPrograms::open(Platform& platform, const QString& name, const QStringList& arguments) {
    QProcess* program = desktop().launch(name, arguments);
    EXPECT_NE(program, nullptr);
    if (!program)
        return XCB_WINDOW_NONE;
    m_programs.push_back(program);
    const auto client = desktop().waitForClientWindow(program->processId(), std::chrono::seconds(30));
    EXPECT_TRUE(client.has_value());
    if (!client)
        return XCB_WINDOW_NONE;
    platform.accessibility->bringToFront(static_cast<int32_t>(client->pid), client->window);
    EXPECT_TRUE(QTest::qWaitFor([&] { return activeWindow() == client->window; }, 5000));
    return client->window;
}

} // namespace corvane::testing
