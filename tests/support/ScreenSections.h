#pragma once
// ledfile.ini as it lies on disk (GBK, CR LF): screen 1's section as a first
// start writes it, and the file of an existing installation. The INI and
// registry tests build their files from these.
#include <QByteArray>

namespace screensections {
inline const QByteArray FirstStart = "[\xb5\xda 1\xba\xc5\xc6\xc1]\r\n"
                                     "Pname=\xb5\xda\xd2\xbb\xba\xc5\xc6\xc1\r\n"
                                     "Pcode=1\r\n"
                                     "Pbtl=9600\r\n"
                                     "Padr=1\r\n"
                                     "Pchang=128\r\n"
                                     "TSUM=0\r\n"
                                     "Pgao=32\r\n"
                                     "Pcolor=0\r\n"
                                     "Pleixing=1\r\n"
                                     "PQSign=4\r\n"
                                     "PScan=2\r\n";
inline const QByteArray InstalledGlobal = "[\xc6\xc1\xd7\xdc\xca\xfd]\r\n"
                                          "SUM=3\r\n"
                                          "DQPSign= 2\r\n";
inline const QByteArray InstalledScreen1 = "[\xb5\xda 1\xba\xc5\xc6\xc1]\r\n"
                                           "Pname=\xb5\xda\xd2\xbb\xba\xc5\xc6\xc1\r\n"
                                           "Pcode=1\r\n"
                                           "Pbtl=9600\r\n"
                                           "Padr=1\r\n"
                                           "Pchang=128\r\n"
                                           "TSUM=4\r\n"
                                           "Pgao=32\r\n"
                                           "Pcolor=1\r\n"
                                           "Pleixing=1\r\n"
                                           "PQSign=4\r\n"
                                           "PScan=2\r\n"
                                           "POE=1\r\n"
                                           "PDataSign=0\r\n"
                                           "PColRule=0\r\n"
                                           "PCol_F=0\r\n"
                                           "windowlen=2\r\n"
                                           "windowNo=01\r\n"
                                           "windowhzcolor=3\r\n"
                                           "windowasccolor=1\r\n"
                                           "windowcombo1color=2\r\n";
inline const QByteArray InstalledScreen2 = "[\xb5\xda 2\xba\xc5\xc6\xc1]\r\n"
                                           "Pname=\xca\xd5\xb7\xd1\xb4\xb0\xbf\xda\r\n"
                                           "Pcode=2 \xd2\xd1\xbe\xad\xd5\xbc\xd3\xc3\r\n"
                                           "Pbtl=19200\r\n"
                                           "Pchang=160\r\n"
                                           "Padr=2\r\n"
                                           "TSUM=1\r\n"
                                           "Pgao=16\r\n"
                                           "Pcolor=2\r\n"
                                           "Pleixing=3\r\n"
                                           "PQSign=3\r\n"
                                           "PScan=1\r\n"
                                           "POE=0\r\n"
                                           "PDataSign=1\r\n"
                                           "PColRule=4\r\n"
                                           "PCol_F=1\r\n"
                                           "\r\n";
inline const QByteArray InstalledScreen3 = "[\xb5\xda 3\xba\xc5\xc6\xc1]\r\n"
                                           "Pname=\x8f]\xc9\xbd\xd7\xc9\xd1\xaf\xcc\xa8\r\n"
                                           "Pcode=3\r\n"
                                           "Pbtl=38400\r\n"
                                           "Pchang=96\r\n"
                                           "Padr=03\r\n";
// Three screens, screen 2 current, a blank line before screen 3.
inline const QByteArray InstalledFile =
    InstalledGlobal + InstalledScreen1 + InstalledScreen2 + InstalledScreen3;
} // namespace screensections
