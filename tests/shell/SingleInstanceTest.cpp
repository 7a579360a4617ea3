#include <QLocalSocket>
#include <QProcess>
#include <QProcessEnvironment>

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "shell/ShellTestSupport.h"
#include "shell/SingleInstance.h"
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
        // In the sanitizer builds the program's exit code must be its own.
        env.insert("LSAN_OPTIONS", "detect_leaks=0");
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
    // The first instance answers once its start-up is over and its message loop runs.
    auto RunSecond = [&] {
        auto second = Start();
        EXPECT_TRUE(second->waitForFinished(20000));
        EXPECT_EQ(second->exitStatus(), QProcess::NormalExit);
        EXPECT_EQ(second->exitCode(), 0);
    };
    auto RaisedTimes = [&, said = QByteArray()](int times) mutable {
        for (int i = 0; i < 300 && said.count("raising the main window") < times; ++i) {
            first->waitForReadyRead(100);
            said += first->readAllStandardError();
        }
        return said.count("raising the main window") >= times;
    };
    RunSecond();
    ASSERT_TRUE(RaisedTimes(1));

    const std::string settings = config.Path() + "/OrvodyneEditor/settings.ini";
    const std::string before = TempDir::Read(settings);
    const auto written = std::filesystem::last_write_time(settings);
    ASSERT_FALSE(before.empty());
    RunSecond();
    EXPECT_TRUE(RaisedTimes(2));
    EXPECT_EQ(TempDir::Read(settings), before);
    EXPECT_EQ(std::filesystem::last_write_time(settings), written);

    // An instance that dies leaves its socket behind; the next start must not mind.
    Stop(*first);
    auto third = Start();
    ASSERT_TRUE(third->waitForStarted(5000));
    EXPECT_TRUE(Listening());
    EXPECT_EQ(third->state(), QProcess::Running);
    Stop(*third);
}

namespace {
// A first instance listening in a runtime folder of the test, and what it heard.
struct SingleInstanceChannel : ::testing::Test {
    void SetUp() override {
        ASSERT_TRUE(first.Claim());
        QObject::connect(&first, &SingleInstance::OpenRequested, [this](const QByteArray& path) {
            heard.push_back("open " + path.toStdString());
        });
        QObject::connect(&first, &SingleInstance::RaiseRequested,
                         [this] { heard.push_back("raise"); });
    }
    // Runs the event loop until the first instance heard this many requests, or a while.
    void HearUpTo(size_t count) {
        for (int i = 0; i < 200 && heard.size() < count; ++i)
            QApplication::processEvents(QEventLoop::AllEvents, 10);
    }

    QApplication& app = App();
    TempDir runtime;
    ScopedEnv runtimeDir{"XDG_RUNTIME_DIR", runtime.Path()};
    SingleInstance first;
    std::vector<std::string> heard;
};
}  // namespace

TEST_F(SingleInstanceChannel, ASecondClaimHandsOverItsFileByteForByteThenAsksToRaise) {
    // A line break, a percent sign, a space and bytes that are not UTF-8 in the name.
    const std::string odd = "/music/bass\nline 100%\xff\xfe.prg";
    SingleInstance second;
    EXPECT_FALSE(second.Claim(odd));
    SingleInstance third;
    EXPECT_FALSE(third.Claim());
    HearUpTo(3);
    const std::vector<std::string> expected = {"open " + odd, "raise", "raise"};
    EXPECT_EQ(heard, expected);
}

TEST_F(SingleInstanceChannel, AnEndlessRequestIsDroppedAndTheNextStartIsHeard) {
    QLocalSocket flood;
    flood.connectToServer(SingleInstance::SocketName());
    ASSERT_TRUE(flood.waitForConnected(1000));
    flood.write("open /" + QByteArray(200 * 1024, 'a'));
    for (int i = 0; i < 100 && flood.state() == QLocalSocket::ConnectedState; ++i) {
        flood.waitForBytesWritten(10);
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    EXPECT_NE(flood.state(), QLocalSocket::ConnectedState) << "the flood was not cut off";
    SingleInstance later;
    EXPECT_FALSE(later.Claim());
    HearUpTo(1);
    EXPECT_EQ(heard, std::vector<std::string>{"raise"});
}
