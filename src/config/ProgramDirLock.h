#pragma once
// The one lock of the program directory. Every process that changes
// ledfile.ini or MapDepot (the window, ledctl, the call service) holds it
// around its read-modify-write, so that two writers never build on the same
// old state and lose each other's changes. Holds nest freely in one thread;
// other threads wait for it as other processes do.
#include <QString>

class ProgramDirLock {
  public:
    static constexpr int DefaultWaitMs = 10000;
    // Waits its turn up to `waitMs`; VbError 75 with the words for the
    // operator when the turn does not come. A directory where no lock file
    // can be made is not locked: the writes there fail and say so themselves.
    explicit ProgramDirLock(int waitMs = DefaultWaitMs);
    ~ProgramDirLock();
    ProgramDirLock(const ProgramDirLock &) = delete;
    ProgramDirLock &operator=(const ProgramDirLock &) = delete;

    // The lock file's name in the program directory.
    static QString fileName();
};
