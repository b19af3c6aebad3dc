#include "link/remote_wire.h"

#include <cstring>

#include "base/cp1252.h"
#include "link/report_format.h"

UnitIdentity makeIdentity(std::uint16_t vendorId, std::uint16_t productId, const char* product)
{
    UnitIdentity identity;
    identity.vendorId = vendorId;
    identity.productId = productId;
    std::size_t count = 0;
    while (product && product[count] && count < identityMaxProductBytes / 2) {
        identity.product[count] = utf16FromCp1252(product[count]);
        ++count;
    }
    identity.productUnits = static_cast<std::uint8_t>(count);
    return identity;
}

std::size_t encodeIdentity(const UnitIdentity& identity, std::uint8_t* out)
{
    std::memcpy(out, identityMagic, 4);
    writeLe16(out + 4, identity.vendorId);
    writeLe16(out + 6, identity.productId);
    std::size_t units = identity.productUnits;
    if (units > identityMaxProductBytes / 2)
        units = identityMaxProductBytes / 2;
    out[8] = static_cast<std::uint8_t>(units * 2);
    for (std::size_t i = 0; i < units; ++i)
        writeLe16(out + identityHeaderSize + 2 * i, identity.product[i]);
    return identityHeaderSize + units * 2;
}

bool receiveIdentity(NetSocket socket, UnitIdentity& identity, int timeoutMs)
{
    std::uint8_t header[identityHeaderSize];
    if (!netReceiveAll(socket, header, sizeof header, timeoutMs))
        return false;
    const std::size_t length = header[8];
    if (std::memcmp(header, identityMagic, 4) != 0 || length > identityMaxProductBytes ||
        length % 2 != 0)
        return false;
    std::uint8_t product[identityMaxProductBytes];
    if (length > 0 && !netReceiveAll(socket, product, length, timeoutMs))
        return false;
    identity = UnitIdentity{};
    identity.vendorId = readLe16(header + 4);
    identity.productId = readLe16(header + 6);
    identity.productUnits = static_cast<std::uint8_t>(length / 2);
    for (std::size_t i = 0; i < length / 2; ++i)
        identity.product[i] = readLe16(product + 2 * i);
    return true;
}
