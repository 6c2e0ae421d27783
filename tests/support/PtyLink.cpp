#include "support/PtyLink.h"

#include "protocol/PortLocator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

PtyLink::PtyLink(int portNumber) {
    char name[256] = {};
    if (::openpty(&m_master, &m_slave, name, nullptr, nullptr) != 0) {
        m_master = m_slave = -1;
        return;
    }
    termios t{};
    ::tcgetattr(m_slave, &t);
    ::cfmakeraw(&t);
    ::tcsetattr(m_slave, TCSANOW, &t);
    m_link = PortLocator::linkPath(portNumber);
    QDir().mkpath(QFileInfo(m_link).absolutePath());
    QFile::remove(m_link);
    if (!QFile::link(QString::fromLocal8Bit(name), m_link)) {
        ::close(m_master);
        ::close(m_slave);
        m_master = m_slave = -1;
    }
}

PtyLink::~PtyLink() {
    if (!m_link.isEmpty()) QFile::remove(m_link);
    if (m_master >= 0) ::close(m_master);
    if (m_slave >= 0) ::close(m_slave);
}
