#pragma once
// Ctrl-C as the cancel button of a batch on the command line.

namespace chipshift {

// While an InterruptAsCancel lives, the first SIGINT only records a request
// (the entry in work is finished, nothing is left half-written); a second
// one ends the program the usual way. The previous action is restored when
// it goes out of scope.
class InterruptAsCancel {
public:
    InterruptAsCancel();
    ~InterruptAsCancel();
    InterruptAsCancel(const InterruptAsCancel&) = delete;
    InterruptAsCancel& operator=(const InterruptAsCancel&) = delete;
};

// True once SIGINT has arrived while an InterruptAsCancel was in place.
bool interruptRequested();

}  // namespace chipshift
