#pragma once
// A pseudo-terminal linked as ports/COMn in the current program directory:
// a port that exists, made by the test itself.
#include <QString>

class PtyLink {
  public:
    explicit PtyLink(int portNumber);
    ~PtyLink();
    bool isValid() const { return m_master >= 0; }
    QString linkPath() const { return m_link; }
    int masterFd() const { return m_master; }

  private:
    int m_master = -1;
    int m_slave = -1;
    QString m_link;
};
