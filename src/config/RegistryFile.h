#pragma once
// The layout of ledfile.ini: the global section "屏总数" with SUM and DQPSign,
// one section per screen. Shared by the registry, the panels that store a
// screen's keys, and ledctl.
#include "config/CIniFile.h"
#include "config/ScreenFields.h"

#include <QList>
#include <QString>

namespace RegistryFile {
constexpr int GlobalSize = 10;  // Size for the keys of "屏总数"
constexpr int ScreenSize = 100; // Size for every per-screen key

QString fileName();
// ledfile.ini in the program directory.
QString path();
QString globalSection();
// "第", one blank, the number's digits, "号屏": screen 12 is "第 12号屏".
QString sectionName(int number);
// The file of a first start, in the order the keys are written.
QList<CIniFile::Write> firstStartValues();

// A display-property key holding a position in one of the window's lists.
struct IndexKey {
    QString key;
    QString list; // the list control's name
    int count;    // number of items in that list
    int ScreenFields::*field;
};
// In the order a selection sets them.
const QList<IndexKey> &indexKeys();

struct ScreenCount {
    int count = 1;
    int error = 0; // 0 for a sound SUM, else the number to report
    // For the operator when SUM counts screens whose sections are not in the
    // file (a cut-off or hand-edited file): they are not listed. Else empty.
    QString notLoaded;
};
// SUM, but no more than the highest screen section the file holds (at least
// 1); or when SUM names no screen (0, missing, not a number, too large), the
// number of consecutive screen sections that carry a name (at least 1).
ScreenCount screenCount(CIniFile &ini);
ScreenCount screenCount(const IniDocument &doc);

struct RegisteredScreen {
    int number = 0;
    QString name;
    int port = 0;
    QString baud;
    int address = 0;
};
QList<RegisteredScreen> readScreens(CIniFile &ini);

// Writes all or nothing; a refused write raises VbError with the number of
// the failure and the text "写入失败", for the caller's error trap.
void write(CIniFile &ini, const QList<CIniFile::Write> &writes);
void writeKey(CIniFile &ini, const QString &section, const QString &key, const QString &value);
} // namespace RegistryFile
