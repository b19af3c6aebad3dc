#include "link/link_state.h"

LinkRequest linkRequest;

std::uint8_t inReport[reportSize];
std::uint8_t lastAnswer[reportSize];
std::uint8_t outReport[reportSize];
std::uint8_t sequenceNumber = 0;

std::uint8_t nextSequenceNumber()
{
    sequenceNumber = static_cast<std::uint8_t>(sequenceNumber + 1);
    return sequenceNumber;
}

LinkEvent reportReceived;
LinkEvent reportConsumed;
LinkEvent linkStop{true};
LinkEvent answerProcessed;
LinkEvent readerReady{true};
LinkEvent linkRelease{true};
LinkEvent releaseDone{true};

void createLinkEvents()
{
    initEvent(reportReceived, false);
    initEvent(reportConsumed, false);
    initEvent(linkStop, true);
    initEvent(answerProcessed, false);
    initEvent(readerReady, true);
    initEvent(linkRelease, true);
    initEvent(releaseDone, true);
}
