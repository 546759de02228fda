// Opening and closing the adapter, and what crosses the link when we do.
#include "emulated_card.h"
#include "library.h"
#include "save_maker.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdlib>
#include <filesystem>

using namespace mcbtest;

namespace {

std::array<uint8_t, 16> expectedPacket(uint8_t a, uint8_t b, uint8_t c, uint8_t d, uint8_t filler)
{
    std::array<uint8_t, 16> p;
    p.fill(filler);
    p[0] = a;
    p[1] = b;
    p[2] = c;
    p[3] = d;
    return p;
}

// Uses the default finder, which reads MCBRIDGE_DEVICE.
class DeviceString : public ::testing::Test {
protected:
    void SetUp() override { mcb::setAdapterFinder({}); }
    void TearDown() override
    {
        CloseDevice();
        unsetenv("MCBRIDGE_DEVICE");
    }
    int32_t open(const std::string& device)
    {
        setenv("MCBRIDGE_DEVICE", device.c_str(), 1);
        receiver.error = -1;
        return OpenDevice(&receiver);
    }
    mcb_receiver receiver{};
};

} // namespace

TEST(Link, WithoutAdapterNothingOpens)
{
    EmulatedCard card;
    card.plugged = false;
    ProgressLog log;
    EXPECT_EQ(OpenDevice(&log.receiver), 0);
    EXPECT_EQ(log.receiver.error, MCB_ERROR_NOT_FOUND);
    EXPECT_EQ(mcb_last_error(), MCB_ERROR_NOT_FOUND);
    EXPECT_EQ(IsConnected(), 0);
    EXPECT_EQ(DriverHandle(), nullptr);
    EXPECT_EQ(CloseDevice(), 0);
    EXPECT_EQ(card.traffic().transfers, 0u);
}

// Every call starts with a clean slate: a reason from an earlier failure
// never sticks to a later success, and a failure never reads as success.
TEST(Link, LastErrorFollowsEachCall)
{
    EmulatedCard card;
    card.plugged = false;
    ProgressLog log;
    ASSERT_EQ(OpenDevice(&log.receiver), 0);
    ASSERT_EQ(mcb_last_error(), MCB_ERROR_NOT_FOUND);
    card.plugged = true;
    ASSERT_EQ(OpenDevice(&log.receiver), 1);
    EXPECT_EQ(mcb_last_error(), MCB_SUCCESS);
    EXPECT_EQ(mcb_space(nullptr, nullptr), 0);
    EXPECT_EQ(DownLoadSaver(nullptr, nullptr, nullptr), 0);
    EXPECT_NE(mcb_last_error(), MCB_SUCCESS);
    EXPECT_STRNE(mcb_error_text(mcb_last_error()), "unknown error");
    EXPECT_EQ(CloseDevice(), 1);
    EXPECT_EQ(mcb_last_error(), MCB_SUCCESS);
}

TEST(Link, OpenSendsBeginAndCloseSendsEnd)
{
    EmulatedCard card;
    ASSERT_EQ(OpenDevice(nullptr), 1);
    EXPECT_EQ(IsConnected(), 1);
    EXPECT_NE(DriverHandle(), nullptr);
    ASSERT_NE(CloseDevice(), 0);
    EXPECT_EQ(IsConnected(), 0);
    EXPECT_EQ(DriverHandle(), nullptr);
    ASSERT_EQ(card.traffic().packetLog.size(), 2u);
    EXPECT_EQ(card.traffic().packetLog[0], expectedPacket(0xCA, 0x59, 0x00, 0x01, 0xFF));
    EXPECT_EQ(card.traffic().packetLog[1], expectedPacket(0xCA, 0x59, 0x00, 0x02, 0xFF));
    // A second close finds nothing open and sends nothing.
    EXPECT_EQ(CloseDevice(), 0);
    EXPECT_EQ(card.traffic().packetLog.size(), 2u);
}

TEST(Link, BuffersAndBlockCountSurviveConnections)
{
    EmulatedCard card(8);
    ASSERT_TRUE(connect());
    const auto* dir = mcb::lib().directory.get();
    const auto* map = mcb::lib().map.get();
    ASSERT_NE(dir, nullptr);
    CloseDevice();
    ASSERT_EQ(OpenDevice(nullptr), 1);
    EXPECT_EQ(mcb::lib().directory.get(), dir);
    EXPECT_EQ(mcb::lib().map.get(), map);
    EXPECT_EQ(mcb::lib().userBlockCount, 123);
    CloseDevice();
}

TEST(Link, ProgressGoesToTheLatestReceiver)
{
    EmulatedCard card;
    ProgressLog first, second;
    ASSERT_TRUE(connect(&first.receiver));
    ASSERT_TRUE(connect(&second.receiver));
    ASSERT_EQ(InitSaverInfo(), 1);
    EXPECT_TRUE(first.wparams.empty());
    EXPECT_EQ(second.counts(), std::vector<uintptr_t>{3});
    // A null receiver means no messages, and nothing breaks.
    ASSERT_TRUE(connect(nullptr));
    EXPECT_EQ(InitSaverInfo(), 1);
}

TEST(Link, GetCardMemoryOpensTheAdapterItselfWithASecondBegin)
{
    EmulatedCard card(16);
    ASSERT_EQ(IsConnected(), 0);
    EXPECT_EQ(GetCardMemory(), 16);
    EXPECT_EQ(IsConnected(), 1);
    EXPECT_EQ(card.traffic().begins, 2u);
    const auto& log = card.traffic().packetLog;
    ASSERT_GE(log.size(), 3u);
    EXPECT_EQ(log[0], expectedPacket(0xCA, 0x59, 0x00, 0x01, 0xFF));
    EXPECT_EQ(log[1], expectedPacket(0xCA, 0x59, 0x00, 0x01, 0x00));
    EXPECT_EQ(log[2], expectedPacket(0xA9, 0x85, 0x00, 0x00, 0xFF));
}

TEST_F(DeviceString, MalformedStringsAreRefusedWithTheirReason)
{
    EXPECT_EQ(open(""), 0);
    EXPECT_EQ(receiver.error, MCB_ERROR_NO_DEVICE);
    for (const char* bad : {"bogus", "usb:", "usb:12345:1", "usb:zz:0001", "usb:1234", "image:"}) {
        EXPECT_EQ(open(bad), 0) << bad;
        EXPECT_EQ(receiver.error, MCB_ERROR_BAD_DEVICE) << bad;
    }
    EXPECT_EQ(open("/nonexistent/adapter"), 0);
    EXPECT_EQ(receiver.error, MCB_ERROR_NOT_FOUND);
    EXPECT_EQ(IsConnected(), 0);
}

TEST_F(DeviceString, ARegularFileIsNoDeviceNode)
{
    TempDir dir;
    writeFile(dir.file("plain"), std::vector<uint8_t>(16, 0));
    EXPECT_EQ(open(dir.file("plain")), 0);
    EXPECT_EQ(receiver.error, MCB_ERROR_BAD_DEVICE);
}

TEST_F(DeviceString, AnImageOfNoCardSizeIsRefusedAndLeftAlone)
{
    TempDir dir;
    const std::vector<uint8_t> odd(512 * 1024 + 512, 0x5A);
    writeFile(dir.file("odd.raw"), odd);
    EXPECT_EQ(open("image:" + dir.file("odd.raw")), 0);
    EXPECT_EQ(receiver.error, MCB_ERROR_IMAGE_SIZE);
    EXPECT_STRNE(mcb_error_text(receiver.error), mcb_error_text(MCB_ERROR_IO));
    EXPECT_EQ(readFile(dir.file("odd.raw")), odd);
}

TEST_F(DeviceString, AMissingImageBecomesAFormattedCard)
{
    TempDir dir;
    const std::string path = dir.file("new.raw");
    ASSERT_EQ(open("image:" + path), 1);
    EXPECT_EQ(receiver.error, MCB_SUCCESS);
    EXPECT_EQ(GetCardMemory(), 16);
    EXPECT_EQ(InitSaverInfo(), 1);
    CloseDevice();
    EXPECT_EQ(std::filesystem::file_size(path), 2u * 1024 * 1024);
}

TEST_F(DeviceString, UnknownUsbDeviceIsNotFound)
{
    EXPECT_EQ(open("usb:fffe:fffd"), 0);
    // Without USB access at all libusb may fail to start; either way, no adapter.
    EXPECT_TRUE(receiver.error == MCB_ERROR_NOT_FOUND || receiver.error == MCB_ERROR_IO)
        << receiver.error;
    EXPECT_EQ(IsConnected(), 0);
}
