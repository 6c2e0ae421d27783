#include "protocol/PacketTable.h"

#include "protocol/VbError.h"

#include <algorithm>

PacketTable::PacketTable() : m_rows(Rows) {}

void PacketTable::check(int row, int column) {
    if (row < 0 || row >= Rows || column < 0 || column >= Columns)
        throw VbError(vberr::SubscriptOutOfRange, QStringLiteral("下标越界"));
}

uint8_t PacketTable::at(int row, int column) const {
    check(row, column);
    const auto &r = m_rows[size_t(row)];
    return r ? (*r)[size_t(column)] : 0;
}

void PacketTable::set(int row, int column, uint8_t value) {
    check(row, column);
    auto &r = m_rows[size_t(row)];
    if (!r) r = std::make_unique<Row>(Row{});
    (*r)[size_t(column)] = value;
}

QByteArray PacketTable::row(int row, int size) const {
    QByteArray bytes(qMax(size, 0), Qt::Uninitialized);
    copyRow(row, size, bytes.data());
    return bytes;
}

void PacketTable::copyRow(int row, int size, char *into) const {
    if (size < 0 || size > Columns) check(row, size < 0 ? -1 : Columns);
    check(row, 0);
    const auto &r = m_rows[size_t(row)];
    if (!r)
        std::fill_n(into, size, '\0');
    else
        std::copy_n(reinterpret_cast<const char *>(r->data()), size, into);
}

void PacketTable::setRow(int row, int column, const QByteArray &bytes) {
    if (bytes.isEmpty()) return;
    check(row, column);
    check(row, column + int(bytes.size()) - 1);
    auto &r = m_rows[size_t(row)];
    if (!r) r = std::make_unique<Row>(Row{});
    std::copy(bytes.begin(), bytes.end(), reinterpret_cast<char *>(r->data()) + column);
}

int PacketTable::allocatedRows() const {
    return int(std::count_if(m_rows.begin(), m_rows.end(), [](const auto &r) { return bool(r); }));
}
