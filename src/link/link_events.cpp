#include "link/link_events.h"

LinkEvent reportReceived;
LinkEvent reportConsumed;
LinkEvent linkStop{true};
LinkEvent answerProcessed;
LinkEvent readerReady{true};

void createLinkEvents()
{
    initEvent(reportReceived, false);
    initEvent(reportConsumed, false);
    initEvent(linkStop, true);
    initEvent(answerProcessed, false);
    initEvent(readerReady, true);
}
