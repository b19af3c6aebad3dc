#pragma once
#include <cstdint>

// The two families of control unit the program serves, each with its own
// windows, parameter block, file magic and protocol columns.
enum class Family : std::int32_t {
    k = 0,   // K-Series (ControlUnitK)
    m = 1,   // M-Series chiller (ControlUnitM)
};

// AppState.family holds the family as 0 or 1; a settings file may hold
// anything, which counts as the K-Series.
inline Family familyFromState(std::int32_t value) { return value == 1 ? Family::m : Family::k; }
inline std::int32_t stateFromFamily(Family family) { return static_cast<std::int32_t>(family); }

// The family's number in request payloads, which is also the unit kind its
// own units report: 1 K-Series, 2 M-Series.
inline std::uint8_t familyUnitKind(Family family) { return family == Family::m ? 2 : 1; }

// "K-Series" / "M-Series", in titles and message-box captions of both
// languages.
inline const char* familyName(Family family) { return family == Family::m ? "M-Series" : "K-Series"; }
