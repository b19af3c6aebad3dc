#pragma once
#include <cstddef>
#include <cstdint>

#include "link/net_socket.h"

// The remote-unit protocol over TCP, fixed so that other tools can speak it.
// On accepting a connection the unit side sends its identity record:
//   "KVX1", vendor id (LE16), product id (LE16), length n (0..252, even),
//   n bytes of product string in UTF-16LE.
// After that both sides send only whole 65-byte reports. A closed or reset
// connection means the device is gone.
inline constexpr char identityMagic[4] = {'K', 'V', 'X', '1'};
inline constexpr std::size_t identityHeaderSize = 9;
inline constexpr std::size_t identityMaxProductBytes = 252;
inline constexpr std::size_t identityMaxSize = identityHeaderSize + identityMaxProductBytes;

struct UnitIdentity {
    std::uint16_t vendorId = 0;
    std::uint16_t productId = 0;
    std::uint8_t productUnits = 0;       // number of UTF-16 code units
    std::uint16_t product[identityMaxProductBytes / 2] = {};
};

// Identity with a Windows-1252 product text (cut to 126 characters).
UnitIdentity makeIdentity(std::uint16_t vendorId, std::uint16_t productId, const char* product);

// Encodes into out (identityMaxSize bytes); returns the record length.
std::size_t encodeIdentity(const UnitIdentity& identity, std::uint8_t* out);

// Reads and checks one identity record; false on a bad magic, an odd or too
// long product string, or when it does not arrive within timeoutMs.
bool receiveIdentity(NetSocket socket, UnitIdentity& identity, int timeoutMs);
