#include "link/reports.h"

std::uint8_t inReport[reportSize];
std::uint8_t lastAnswer[reportSize];
std::uint8_t outReport[reportSize];
std::uint8_t sequenceNumber = 0;

std::uint8_t nextSequenceNumber()
{
    sequenceNumber = static_cast<std::uint8_t>(sequenceNumber + 1);
    return sequenceNumber;
}
