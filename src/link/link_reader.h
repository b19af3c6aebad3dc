#pragma once

// States of the reader thread; numbered, as the engines'.
enum ReaderState {
    readerRead = 0,      // no read pending: start one
    readerPending = 1,   // a read is pending
    readerHandedOver = 2,// inReport waits for the engine
    readerDead = 3,      // the device is gone or never opened: wait for linkStop
};

// The reader thread: opens the unit by devicePath, reads one input report at
// a time into inReport and hands it to the engine (reportReceived /
// reportConsumed) until linkStop is set.
void linkReader();
