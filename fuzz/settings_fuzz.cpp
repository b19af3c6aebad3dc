// kavix.ini of any content: loading must never read or write out of bounds,
// and a load that succeeds must leave the run-time fields cleared.
#include <cstdlib>
#include <cstring>

#include "app/settings.h"
#include "fuzz_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const auto path = writeFuzzInput("kavix.ini", data, size);
    AppState state;
    std::memset(&state, 0, sizeof state);
    if (loadSettings(state, path) && (state.linkOpen != 0 || state.protocolAvailable != 0 || state.autoDisplay != 0))
        std::abort();
    return 0;
}
