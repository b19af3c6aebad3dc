#pragma once
#include <functional>

#include "link/device_discovery.h"
#include "link/link_state.h"

// An engine thread procedure: pollEngine, blockReadEngine, blockWriteEngine.
using EngineProcedure = void (*)(LinkRequest* request);

// Starts the reader thread; true if it runs. Sets nothing else.
bool startReaderThread();
// Starts the engine thread on the request; true if it runs.
bool startEngineThread(EngineProcedure engine, LinkRequest* request);

// The end of a link start: the reader, the link open, the engine. false if
// a thread could not be started ("Can't start thread !"); the link is then
// closed again.
bool startLinkThreads(EngineProcedure engine, LinkRequest* request);

// How a link start ended.
enum class LinkStart {
    opened,     // reader and engine run
    noUnit,     // findDevice found no unit
    noProduct,  // the unit's product string could not be read
    noThread,   // a thread could not be started; the link is closed again
};

// The start of every link: finds the unit, reads its product string into
// product, calls named(product) so that the window names the unit before
// the threads run (the first answer may come at once), then starts the
// reader and the engine on request. Each window shows the outcome its own
// way. User-interface thread only.
LinkStart openLink(EngineProcedure engine, LinkRequest* request, char product[productStringChars + 1],
                   const std::function<void(const char* product)>& named);

// Ends the link if it is open: sets linkStop, waits at most
// 1000 ms for both threads and resets linkStop. Does nothing when closed.
// When the request carries a release poll (releaseLength), the poll engine
// first sends it and stopLink waits up to releaseWaitMs of the 1000 ms for
// its answer, so that a monitor never leaves the unit under manual control.
// User-interface thread only.
void stopLink();

// true once both threads of the last link have ended (tests, benchmarks).
bool linkThreadsEnded();

// Whether a link is open: from the start of its threads until stopLink.
bool linkIsOpen();

// Told at once and then on every change of linkIsOpen(), on the
// user-interface thread, so that the shell can keep its copy in the settings
// record; nullptr for none.
using LinkOpenWatcher = void (*)(bool open);
void watchLinkOpen(LinkOpenWatcher watcher);
