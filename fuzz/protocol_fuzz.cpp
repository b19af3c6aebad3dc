// A failure protocol of any bytes and any announced count: the display's line
// texts and the CSV export must stay inside the buffer they are given.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "app/texts.h"
#include "fuzz_file.h"
#include "protocol/protocol_csv.h"
#include "protocol/protocol_display.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    if (size < 6)
        return 0;
    std::int32_t count;
    std::memcpy(&count, data, 4);
    const Family family = (data[4] & 1) ? Family::m : Family::k;
    const int columnOffset = data[5] % 20;
    // The buffer is exactly the rest of the input, so ASan sees any overrun.
    std::vector<unsigned char> bytes(data + 6, data + size);
    const ProtocolData protocol{bytes.data(), bytes.size(), count};

    DisplayMetrics metrics{};
    metrics.charWidth = 8;
    metrics.lineHeight = 16;
    metrics.textCharWidth = 5;
    metrics.textLineHeight = 15;
    metrics.clientWidth = 1048;
    metrics.clientHeight = 800;
    DisplayText texts[1 + maxShownColumns];
    // The last entry's index; the lowest count has none below it.
    const std::int32_t last = count == INT32_MIN ? count : count - 1;
    for (std::int32_t index : {std::int32_t(0), last, count, std::int32_t(-1), std::int32_t(12345)})
        for (int i = 0, n = displayLineTexts(family, protocol, index, 0, columnOffset, metrics, texts); i < n; ++i)
            if (texts[i].length < 0 || texts[i].length >= static_cast<int>(sizeof texts[i].text))
                std::abort();

    if (readableEntries(protocol, family) < 64)
        writeProtocolCsv(family, fuzzScratchFile("protocol.csv"), protocol, englishTexts);
    return 0;
}
