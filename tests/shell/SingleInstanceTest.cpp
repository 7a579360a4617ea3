#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "shell/ShellTestSupport.h"
#include "support/TempDir.h"

namespace {
// Runs the real editor program in folders of the test.
struct EditorProcesses : ::testing::Test {
    std::unique_ptr<QProcess> Start() {
        auto process = std::make_unique<QProcess>();
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("XDG_CONFIG_HOME", QString::fromStdString(config.Path()));
        env.insert("XDG_RUNTIME_DIR", QString::fromStdString(runtime.Path()));
        env.insert("QT_QPA_PLATFORM", "offscreen");
        if (!env.contains("JACK_DEFAULT_SERVER"))
            env.insert("JACK_DEFAULT_SERVER", "orvo-no-server");
        process->setProcessEnvironment(env);
        process->start(ORVO_EDITOR_PATH, {});
        return process;
    }
    // Waits until an instance answers on the socket.
    bool Listening() {
        const QString name = QString::fromStdString(runtime.Path()) + "/OrvodyneEditor";
        for (int i = 0; i < 100; ++i) {
            QLocalSocket probe;
            probe.connectToServer(name);
            if (probe.waitForConnected(100)) return true;
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return false;
    }
    static void Stop(QProcess& process) {
        process.kill();
        process.waitForFinished(5000);
    }

    QApplication& app = App();
    TempDir config, runtime;
};
}  // namespace

TEST_F(EditorProcesses, ASecondStartRaisesTheFirstAndLeavesTheSettingsAlone) {
    auto first = Start();
    ASSERT_TRUE(first->waitForStarted(5000));
    ASSERT_TRUE(Listening());
    const std::string settings = config.Path() + "/OrvodyneEditor/settings.ini";
    const std::string before = TempDir::Read(settings);
    const auto written = std::filesystem::last_write_time(settings);
    ASSERT_FALSE(before.empty());

    auto second = Start();
    ASSERT_TRUE(second->waitForFinished(10000));
    EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second->exitCode(), 0);
    EXPECT_EQ(TempDir::Read(settings), before);
    EXPECT_EQ(std::filesystem::last_write_time(settings), written);
    first->waitForReadyRead(2000);
    EXPECT_TRUE(first->readAllStandardError().contains("raising the main window"));

    // An instance that dies leaves its socket behind; the next start must not mind.
    Stop(*first);
    auto third = Start();
    ASSERT_TRUE(third->waitForStarted(5000));
    EXPECT_TRUE(Listening());
    EXPECT_EQ(third->state(), QProcess::Running);
    Stop(*third);
}
