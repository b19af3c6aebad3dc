#pragma once
#include <vector>

#include "app/crc16.h"
#include "fake_device.h"
#include "link/device_discovery.h"
#include "link/block_read_engine.h"
#include "link/block_write_engine.h"
#include "link_test_support.h"

// The block engines against the scripted device: the test plays the unit,
// answering each written report by its sequence number.
class BlockEngineFixture : public LinkFixture {
protected:
    void SetUp() override
    {
        LinkFixture::SetUp();
        fake::install();
        devicePath = "fake-unit";
        sink.dataPointsToAnswer = false;
        linkRequest = LinkRequest{};
    }
    void TearDown() override
    {
        LinkFixture::TearDown();
        fake::uninstall();
    }

    // Write i of the transfer (waits for it).
    fake::Report written(std::size_t i)
    {
        EXPECT_TRUE(fake::waitForWrites(i + 1, 2000)) << "no write " << i;
        auto all = fake::writes();
        return all.size() > i ? all[i] : fake::Report{};
    }
    std::uint8_t sequenceOf(std::size_t i) { return written(i).bytes[outSequence]; }

    // A data answer to write i: total blocks, block number, item count, the
    // 48-byte field filled with fill, and the CRC over its first s bytes
    // (spoiled when badCrc).
    void answerBlock(std::size_t i, std::uint16_t number, std::uint8_t fill, std::uint8_t code = ansConfiguration,
                     std::uint16_t total = 3, std::uint16_t items = 7, bool badCrc = false)
    {
        std::uint8_t report[reportSize] = {};
        report[inSequence] = sequenceOf(i);
        report[inCode] = code;
        writeLe16(report + inBlockTotal, total);
        writeLe16(report + inBlockNumber, number);
        writeLe16(report + inBlockItems, items);
        std::memset(report + inBlockData, fill, blockDataField);
        const std::size_t s = linkRequest.blockSize;
        writeLe16(report + inBlockData + s,
                  static_cast<std::uint16_t>(crc16(report + inBlockData, s) ^ (badCrc ? 1 : 0)));
        fake::push(report);
    }
    void answerCode(std::size_t i, std::uint8_t code, std::vector<std::uint8_t> data = {})
    {
        fake::pushAnswer(sequenceOf(i), code, data);
    }

    std::vector<Notification> posted(std::uint32_t message)
    {
        std::vector<Notification> out;
        for (const Notification& n : sink.all())
            if (n.message == message)
                out.push_back(n);
        return out;
    }
};
