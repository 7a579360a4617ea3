#include "plugin/PluginBase.h"

#include <gtest/gtest.h>

#include <cstring>
#include <iterator>
#include <thread>
#include <vector>

#include "plugin/StandalonePlugin.h"
#include "support/CaptureOutputPort.h"

namespace {

class RecordingPlugin : public StandalonePlugin {
public:
    using StandalonePlugin::StandalonePlugin;
    void ParamChanged(int index) override {
        Lock hold(PluginLock());
        changed.push_back(index);
    }
    std::vector<int> changed;
};

class FakeGui : public PluginGui {
public:
    explicit FakeGui(std::vector<std::string>& log) : log_(log) {}
    ~FakeGui() override { log_.push_back("deleted"); }
    void SetParamFromCore(int index, double value, bool normalized) override {
        if (index == 5) log_.push_back("set " + std::to_string(value) + (normalized ? " n" : " p"));
    }
    void PrepareDrawing() override { log_.push_back("prepare"); }
    void WindowResized(int, int) override {}

private:
    std::vector<std::string>& log_;
};

}  // namespace

TEST(PluginBase, FreshCoreHoldsDefaultRecordsAndOneEmptySnapshot) {
    PluginBase core;
    for (int i = 0; i < PluginBase::kParamCount; ++i) {
        const Parameter* p = core.GetParam(i);
        ASSERT_NE(p, nullptr);
        EXPECT_EQ(p->kind, kParamUntyped);
        EXPECT_EQ(p->value, 0.0);
        EXPECT_EQ(p->minimum, 0.0);
        EXPECT_EQ(p->maximum, 1.0);
        EXPECT_EQ(p->step, 1.0);
    }
    EXPECT_EQ(core.GetParam(-1), nullptr);
    EXPECT_EQ(core.GetParam(167), nullptr);
    ASSERT_NE(core.Snapshot(0), nullptr);
    EXPECT_EQ(core.Snapshot(0)->name, "empty");
    EXPECT_FALSE(core.Snapshot(0)->initialised);
    EXPECT_EQ(core.Snapshot(1), nullptr);
    EXPECT_EQ(core.HostKind(), 5);
}

TEST(PluginBase, StateIsEightLittleEndianBytesPerParameter) {
    RecordingPlugin core(nullptr, nullptr);
    InitIntParam(*core.GetParam(3), "VCO1 coarse", 0, -12, 48);
    core.GetParam(3)->value = -12.0;
    HeapBuffer chunk;
    ASSERT_TRUE(core.SerializeParams(chunk));
    ASSERT_EQ(chunk.UsedSize(), 1336);
    const uint8_t minusTwelve[8] = {0, 0, 0, 0, 0, 0, 0x28, 0xC0};
    EXPECT_EQ(std::memcmp(chunk.Data() + 24, minusTwelve, 8), 0);

    core.GetParam(3)->value = 40.0;
    EXPECT_EQ(core.UnserializeParams(chunk, 0), 1336);
    EXPECT_EQ(core.GetParam(3)->value, -12.0);
    EXPECT_EQ(core.changed.size(), 167u);
}

TEST(PluginBase, ShortChunkSetsFirstParameterFromZeroAndReportsMinusOne) {
    RecordingPlugin core(nullptr, nullptr);
    InitIntParam(*core.GetParam(0), "p0", 5, 3, 9);
    core.GetParam(1)->value = 1.0;
    HeapBuffer chunk;
    core.SerializeParams(chunk);
    EXPECT_EQ(core.UnserializeParams(chunk, 1330), -1);
    EXPECT_EQ(core.GetParam(0)->value, 3.0) << "0.0 clamped to the minimum";
    EXPECT_EQ(core.GetParam(1)->value, 1.0) << "later parameters keep their values";
    EXPECT_EQ(core.changed.size(), 167u);
}

TEST(PluginBase, LoadStateClampsStoredValues) {
    RecordingPlugin core(nullptr, nullptr);
    InitIntParam(*core.GetParam(4), "fine", 0, -63, 63);
    HeapBuffer chunk;
    core.SerializeParams(chunk);
    const double tooHigh = 1000.0;
    std::memcpy(chunk.Data() + 32, &tooHigh, 8);
    EXPECT_EQ(core.LoadState(chunk, 0), 1336);
    EXPECT_EQ(core.GetParam(4)->value, 63.0);
}

TEST(PluginBase, SettersClampConvertAndReportTheChange) {
    RecordingPlugin core(nullptr, nullptr);
    InitIntParam(*core.GetParam(10), "p", 0, 0, 127);
    core.SetParameterValue(10, 200.0);
    EXPECT_EQ(core.GetParam(10)->value, 127.0);
    core.SetParameterFromGui(10, 0.5);
    EXPECT_EQ(core.GetParam(10)->value, 64.0);
    core.SetParameterValue(400, 1.0);
    core.SetParameterFromGui(-2, 1.0);
    EXPECT_EQ(core.changed, (std::vector<int>{10, 10}));
}

TEST(PluginBase, DefaultSnapshotIsTakenOnce) {
    PluginBase core;
    core.CaptureDefaultSnapshot();
    ASSERT_TRUE(core.Snapshot(0)->initialised);
    EXPECT_EQ(core.Snapshot(0)->name, "-");
    EXPECT_EQ(core.Snapshot(0)->chunk.UsedSize(), 1336);
    core.CaptureDefaultSnapshot();
    EXPECT_EQ(core.Snapshot(0)->chunk.UsedSize(), 1336);
}

TEST(PluginBase, AttachHandsNormalisedValuesThenPreparesAndOwnsTheGui) {
    std::vector<std::string> log;
    {
        PluginBase core;
        InitIntParam(*core.GetParam(5), "p", 0, 0, 100);
        core.GetParam(5)->value = 25.0;
        core.AttachGraphics(new FakeGui(log));
        core.RedrawParamControls();
    }
    EXPECT_EQ(
        log, (std::vector<std::string>{"set 0.250000 n", "prepare", "set 25.000000 p", "deleted"}));
}

TEST(PluginBase, LockIsRecursiveAndSharedAcrossThreads) {
    PluginBase core;
    std::lock_guard<std::recursive_mutex> outer(core.PluginLock());
    std::lock_guard<std::recursive_mutex> inner(core.PluginLock());
    bool otherGotIt = true;
    std::thread other([&] { otherGotIt = core.PluginLock().try_lock(); });
    other.join();
    EXPECT_FALSE(otherGotIt);
}

TEST(StandalonePlugin, ShortMessagesLeaveOnTheOutputChannelAsThreeBytes) {
    CaptureOutputPort port;
    uint16_t channel = 1;
    StandalonePlugin plugin(&port, &channel);
    EXPECT_TRUE(plugin.SendMidiMsg({0, 0xB0, 0x63, 0x01}));
    channel = 3;
    EXPECT_TRUE(plugin.SendMidiMsg({0, 0xB0, 0x63, 0x01}));
    EXPECT_TRUE(plugin.SendMidiMsg({0, 0xC0, 0x05, 0x00}));
    channel = 16;
    EXPECT_TRUE(plugin.SendMidiMsg({0, 0x95, 0x3C, 0x40}));
    using M = CaptureOutputPort::Message;
    EXPECT_EQ(port.Messages(),
              (std::vector<M>{
                  {0xB0, 0x63, 0x01}, {0xB2, 0x63, 0x01}, {0xC2, 0x05, 0x00}, {0x9F, 0x3C, 0x40}}));
}

TEST(StandalonePlugin, ChannelZeroSendsOnChannelOneNotSixteen) {
    CaptureOutputPort port;
    uint16_t channel = 0;
    StandalonePlugin plugin(&port, &channel);
    EXPECT_TRUE(plugin.SendMidiMsg({0, 0xB5, 0x06, 0x10}));
    EXPECT_EQ(port.Messages().at(0), (CaptureOutputPort::Message{0xB0, 0x06, 0x10}));
}

TEST(StandalonePlugin, SystemMessagesKeepTheirStatus) {
    CaptureOutputPort port;
    uint16_t channel = 4;
    StandalonePlugin plugin(&port, &channel);
    EXPECT_TRUE(plugin.SendMidiMsg({0, 0xF8, 0, 0}));
    EXPECT_EQ(port.Messages().at(0), (CaptureOutputPort::Message{0xF8, 0, 0}));
}

TEST(StandalonePlugin, SysExGoesOutUnchangedAndNothingWithoutAPort) {
    CaptureOutputPort port;
    uint16_t channel = 5;
    StandalonePlugin plugin(&port, &channel);
    const uint8_t request[] = {0xF0, 0x00, 0x21, 0x11, 0x03, 0x05, 0xF7};
    EXPECT_TRUE(plugin.SendSysEx({0, static_cast<int32_t>(std::size(request)), request}));
    EXPECT_EQ(port.Messages().at(0),
              CaptureOutputPort::Message(std::begin(request), std::end(request)));

    StandalonePlugin unplugged(nullptr, &channel);
    EXPECT_FALSE(unplugged.SendSysEx({0, static_cast<int32_t>(std::size(request)), request}));
    EXPECT_FALSE(unplugged.SendMidiMsg({0, 0xB0, 0, 0}));
}
