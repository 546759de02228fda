// A umockdev test bed per test, with the library told to look for the
// adapter on USB by its ids, and given back its defaults afterwards.
#pragma once

#include "simulated_adapter.h"

#include "adapter.h"
#include "mcbridge.h"
#include "save_maker.h"
#include "usb_settings.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace usbtest {

class UsbTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        const std::string why = TestBed::unavailable();
        if (!why.empty())
            GTEST_SKIP() << why;
        bed = std::make_unique<TestBed>();
        mcb::setAdapterFinder({});
        lookFor(kVendor, kProduct);
    }
    void TearDown() override
    {
        CloseDevice();
        mcb::setUsbTimeout(std::chrono::milliseconds(0));
        unsetenv("MCBRIDGE_DEVICE");
        bed.reset();
        adapters.clear();
    }
    void lookFor(uint16_t vendor, uint16_t product)
    {
        setenv("MCBRIDGE_DEVICE", deviceString(vendor, product).c_str(), 1);
    }
    SimulatedAdapter& plugAdapter(std::vector<uint8_t> image, mcb::Faults faults = {},
                                  AfterDrop afterDrop = AfterDrop::StopsAnswering,
                                  UsbDevice device = adapterDevice())
    {
        adapters.push_back(
            std::make_unique<SimulatedAdapter>(device, std::move(image), faults, afterDrop));
        sysPaths.push_back(bed->plug(device, adapters.back().get()));
        return *adapters.back();
    }

    mcbtest::TempDir dir;
    std::unique_ptr<TestBed> bed;
    std::vector<std::unique_ptr<SimulatedAdapter>> adapters;
    std::vector<std::string> sysPaths;
};

} // namespace usbtest
