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

LinkEvent reportReceived{EventReset::automatic};
LinkEvent reportConsumed{EventReset::automatic};
LinkEvent linkStop{EventReset::manual};
LinkEvent answerProcessed{EventReset::automatic};
LinkEvent readerReady{EventReset::manual};
LinkEvent linkRelease{EventReset::manual};
LinkEvent releaseDone{EventReset::manual};

void createLinkEvents()
{
    LinkEvent* const all[] = {&reportReceived, &reportConsumed, &linkStop, &answerProcessed,
                              &readerReady,    &linkRelease,    &releaseDone};
    for (LinkEvent* event : all)
        resetEvent(*event);
}
