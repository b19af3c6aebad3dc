#include "link/link_control.h"

#include <chrono>
#include <thread>

#include "link/link_state.h"
#include "link/link_reader.h"

namespace {

std::thread readerThread;
std::thread engineThread;
// Set when the thread procedure has returned: std::thread has no timed join.
LinkEvent readerEnded{EventReset::manual, EventStart::set};
LinkEvent engineEnded{EventReset::manual, EventStart::set};
// The request the running engine works on: stopLink reads its release poll.
LinkRequest* engineRequest = nullptr;
// Set from the start of the threads until stopLink; the shell may watch it.
bool linkOpen = false;
LinkOpenWatcher openWatcher = nullptr;

void setLinkOpen(bool open)
{
    linkOpen = open;
    if (openWatcher)
        openWatcher(open);
}

void runReader()
{
    linkReader();
    setEvent(readerEnded);
}

void runEngine(EngineProcedure engine, LinkRequest* request)
{
    engine(request);
    setEvent(engineEnded);
}

// Joins a thread that has ended; one that has not is let go, as the
// original handle would simply be closed.
void release(std::thread& thread, LinkEvent& ended)
{
    if (!thread.joinable())
        return;
    if (isEventSet(ended))
        thread.join();
    else
        thread.detach();
}

} // namespace

bool startReaderThread()
{
    release(readerThread, readerEnded);
    resetEvent(readerEnded);
    try {
        readerThread = std::thread(runReader);
    } catch (...) {
        setEvent(readerEnded);
        return false;
    }
    return true;
}

bool startEngineThread(EngineProcedure engine, LinkRequest* request)
{
    release(engineThread, engineEnded);
    resetEvent(engineEnded);
    engineRequest = request;
    try {
        engineThread = std::thread(runEngine, engine, request);
    } catch (...) {
        setEvent(engineEnded);
        return false;
    }
    return true;
}

bool startLinkThreads(EngineProcedure engine, LinkRequest* request)
{
    // A release poll belongs to the link of the window that set it.
    request->releaseLength = 0;
    // A link stopped while its reader had handed over a report leaves
    // reportReceived set: the next engine would take that stale inReport as
    // its answer while the new reader already writes into it.
    resetEvent(reportReceived);
    resetEvent(reportConsumed);
    resetEvent(answerProcessed);
    if (!startReaderThread())
        return false;
    setLinkOpen(true);
    if (!startEngineThread(engine, request)) {
        stopLink();
        return false;
    }
    return true;
}

LinkStart openLink(EngineProcedure engine, LinkRequest* request, char product[productStringChars + 1],
                   const std::function<void(const char* product)>& named)
{
    if (!findDevice())
        return LinkStart::noUnit;
    if (!readProductString(product))
        return LinkStart::noProduct;
    if (named)
        named(product);
    return startLinkThreads(engine, request) ? LinkStart::opened : LinkStart::noThread;
}

void stopLink()
{
    if (!linkOpen)
        return;
    setLinkOpen(false);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(stopLinkWaitMs);
    resetEvent(releaseDone);
    // First the release poll, if one is due: the poll engine sends it from
    // Idle, or says at once that it cannot; the wait is bounded either way.
    if (engineRequest && engineRequest->releaseLength != 0 && !isEventSet(engineEnded)) {
        setEvent(linkRelease);
        LinkEvent* const over[2] = {&releaseDone, &engineEnded};
        waitForAny(over, 2, releaseWaitMs);
    }
    setEvent(linkStop);
    LinkEvent* const ends[2] = {&readerEnded, &engineEnded};
    for (LinkEvent* ended : ends) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now()).count();
        waitForEvent(*ended, left > 0 ? static_cast<int>(left) : 0);
    }
    release(readerThread, readerEnded);
    release(engineThread, engineEnded);
    resetEvent(linkRelease);
    resetEvent(linkStop);
}

bool linkThreadsEnded()
{
    return isEventSet(readerEnded) && isEventSet(engineEnded);
}

bool linkIsOpen() { return linkOpen; }

void watchLinkOpen(LinkOpenWatcher watcher)
{
    openWatcher = watcher;
    if (openWatcher)
        openWatcher(linkOpen);
}
