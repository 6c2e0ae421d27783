#pragma once
// The boards' state as JSON for tests and scripts (ledsim --state FILE):
// {"boards": [{"address", "baudCode", "brightness", "power", "clock",
// "startPicture", "properties", "size", "pictures", "list", "windowNumber",
// "uploads", "radio", "lastExchange", ...}], "radio": {...}}.
#include <QByteArray>
#include <QString>

class VirtualLine;

QByteArray stateJson(const VirtualLine &line, qint64 nowMs);
// Replaces the file atomically: a reader sees the old state or the new one.
bool writeFileAtomically(const QString &path, const QByteArray &bytes, QString *error);
