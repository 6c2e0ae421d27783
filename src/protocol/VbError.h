#pragma once
// Typed run-time errors carrying the classic error numbers that the window's
// error trap writes to status panel 5.
#include <QString>
#include <stdexcept>

namespace vberr {
constexpr int InvalidCall = 5;
constexpr int Overflow = 6;
constexpr int SubscriptOutOfRange = 9;
constexpr int TypeMismatch = 13;
constexpr int FileNotFound = 53;
constexpr int DiskFull = 61;
constexpr int PermissionDenied = 70;
constexpr int PathFileAccessError = 75;
constexpr int PathNotFound = 76;
constexpr int InvalidPropertyValue = 380;      // e.g. a stored list position outside its list
constexpr int InvalidPropertyArrayIndex = 381; // e.g. a list with nothing selected
} // namespace vberr

class VbError : public std::runtime_error {
  public:
    VbError(int number, const QString &what)
        : std::runtime_error(what.toStdString()), m_number(number) {}
    int number() const { return m_number; }
    QString text() const { return QString::fromStdString(what()); }

  private:
    int m_number;
};
