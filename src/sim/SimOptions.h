#pragma once
// Command line of ledsim.
#include "sim/FaultPlan.h"
#include "sim/RadioModule.h"

#include <QList>
#include <QSize>
#include <QString>
#include <QStringList>

struct SimOptions {
    QString dir; // program directory; empty: the directory of the executable
    int port = 1;
    QList<quint16> addresses;
    // The rate of the board at the same position of `addresses` when it was
    // given as ADDRESS@RATE (it then hears only that rate), else 0.
    QList<int> rates;
    QList<QSize> sizes; // one for all boards, or one per address in order; empty: 128 x 32
    bool show = false;
    QString snapshotFile;
    QString stateFile;
    RadioModule radio;
    bool pace = false;
    int baud = 9600;
    QString logFile;
    FaultPlan faults;
    bool replace = false;
    bool help = false;

    // False with a one-line reason for bad usage.
    static bool parse(const QStringList &args, SimOptions *out, QString *error);
    static QString usage();
    // The size of the board at position i of `addresses`.
    QSize sizeOf(int i) const;
};
