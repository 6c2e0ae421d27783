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
constexpr int PathNotFound = 76;
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
