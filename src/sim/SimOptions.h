#pragma once
// Command line of ledsim.
#include "sim/FaultPlan.h"

#include <QList>
#include <QString>
#include <QStringList>

struct SimOptions {
    QString dir; // program directory; empty: the directory of the executable
    int port = 1;
    QList<quint16> addresses;
    bool pace = false;
    int baud = 9600;
    QString logFile;
    FaultPlan faults;
    bool replace = false;
    bool help = false;

    // False with a one-line reason for bad usage.
    static bool parse(const QStringList &args, SimOptions *out, QString *error);
    static QString usage();
};
