#include "app/tick_counters.h"

void advanceTicks(AppState& state)
{
    for (int i = 0; i < 6; ++i) {
        // Wrap instead of overflowing after some 6.8 years of uptime.
        state.runTicks[i] = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.runTicks[i]) + 1u);
        if (state.restartTicks[i] < 0xFFFF)
            state.restartTicks[i] += 1;
    }
    state.stepTicks = static_cast<std::int32_t>(static_cast<std::uint32_t>(state.stepTicks) + 1u);
}

void resetRestartTicks(AppState& state)
{
    for (int i = 0; i < 6; ++i)
        state.restartTicks[i] = 0xFFFF;
}
