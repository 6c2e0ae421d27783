#pragma once
// Hook through which the file-upload transfers (commands 3, 5 and 14) drive a
// progress window.
class TransferProgress {
  public:
    virtual ~TransferProgress() = default;
    virtual void begin(int maximum) = 0;
    virtual void step(int value) = 0;
    // `acknowledged`: every packet was answered.
    virtual void end(bool acknowledged) = 0;
};
