#pragma once
// 60001 rows of 1024 bytes that are never cleared. Rows are allocated when
// first written, so an untouched table costs a few hundred kilobytes instead
// of 61 MB; an untouched row reads as zeros.
#include <QByteArray>
#include <array>
#include <cstdint>
#include <memory>
#include <vector>

class PacketTable {
  public:
    static constexpr int Rows = 60001;
    static constexpr int Columns = 1024;

    PacketTable();
    uint8_t at(int row, int column) const;
    void set(int row, int column, uint8_t value);
    // The first `size` bytes of a row (size <= Columns).
    QByteArray row(int row, int size) const;
    // The same, copied into `into` (room for `size` bytes).
    void copyRow(int row, int size, char *into) const;
    void setRow(int row, int column, const QByteArray &bytes);
    int allocatedRows() const;

  private:
    using Row = std::array<uint8_t, Columns>;
    static void check(int row, int column);
    std::vector<std::unique_ptr<Row>> m_rows;
};
