#include "service/CallJournal.h"

#include <QDir>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>
#include <atomic>

namespace service {

namespace {
std::atomic<int> g_connections{0};

const QString kColumns = QStringLiteral(
    "sequence, id, screen, line, text, colour, min_display_ms, lossy, state, accepted, shown, "
    "error, attempts");

QVariant msOrNull(const QDateTime &t) {
    return t.isValid() ? QVariant(t.toMSecsSinceEpoch()) : QVariant(QMetaType::fromType<qint64>());
}

// Qt SQL binds a null QString as NULL.
QString notNull(const QString &text) {
    return text.isNull() ? QStringLiteral("") : text;
}

Call callOf(const QSqlQuery &q) {
    Call c;
    c.sequence = q.value(0).toLongLong();
    c.id = q.value(1).toString();
    c.screen = q.value(2).toInt();
    c.line = q.value(3).toInt() == 1 ? Line::Lower : Line::Upper;
    c.text = q.value(4).toString();
    c.colour = q.value(5).toInt();
    c.minDisplayMs = q.value(6).toInt();
    c.lossy = q.value(7).toBool();
    if (!stateFromName(q.value(8).toString(), c.state)) c.state = CallState::Failed;
    c.accepted = QDateTime::fromMSecsSinceEpoch(q.value(9).toLongLong(), Qt::UTC);
    if (!q.value(10).isNull())
        c.shown = QDateTime::fromMSecsSinceEpoch(q.value(10).toLongLong(), Qt::UTC);
    c.error = q.value(11).toString();
    c.attempts = q.value(12).toInt();
    return c;
}

const QString kUnfinished = QStringLiteral("state IN ('queued', 'sending')");
} // namespace

QString CallJournal::fileName() {
    return QStringLiteral("ledservice.db");
}

CallJournal::CallJournal()
    : m_connection(QStringLiteral("ledservice-journal-%1").arg(++g_connections)) {}

CallJournal::~CallJournal() {
    close();
}

bool CallJournal::open(const QString &dir, QString *error) {
    close();
    const QString path = QDir(dir).filePath(fileName());
    QString why;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), m_connection);
        m_open = true; // the connection exists from here on and must be removed
        db.setDatabaseName(path);
        if (!db.isValid()) {
            why = QStringLiteral("no SQLite driver");
        } else if (!db.open()) {
            why = db.lastError().text();
        } else {
            QSqlQuery q(db);
            const QString statements[] = {
                QStringLiteral("PRAGMA journal_mode=WAL"),
                // A process crash loses nothing with NORMAL; only a power cut might.
                QStringLiteral("PRAGMA synchronous=NORMAL"),
                QStringLiteral(
                    "CREATE TABLE IF NOT EXISTS calls ("
                    "sequence INTEGER PRIMARY KEY, id TEXT NOT NULL UNIQUE, "
                    "screen INTEGER NOT NULL, line INTEGER NOT NULL, text TEXT NOT NULL, "
                    "colour INTEGER NOT NULL, min_display_ms INTEGER NOT NULL, "
                    "lossy INTEGER NOT NULL, state TEXT NOT NULL, "
                    "accepted INTEGER NOT NULL, shown INTEGER, error TEXT NOT NULL, "
                    "attempts INTEGER NOT NULL)"),
                QStringLiteral(
                    "CREATE INDEX IF NOT EXISTS calls_by_screen ON calls (screen, sequence)"),
                QStringLiteral("CREATE INDEX IF NOT EXISTS calls_by_state ON calls (state)"),
            };
            for (const QString &s : statements) {
                if (!q.exec(s)) {
                    why = q.lastError().text();
                    break;
                }
            }
        }
    }
    if (why.isEmpty()) return true;
    if (error) *error = QStringLiteral("无法打开呼叫记录 %1: %2").arg(path, why);
    close();
    return false;
}

void CallJournal::close() {
    if (!m_open) return;
    {
        QSqlDatabase db = QSqlDatabase::database(m_connection, false);
        if (db.isOpen()) db.close();
    }
    QSqlDatabase::removeDatabase(m_connection);
    m_open = false;
}

bool CallJournal::insert(const Call &call, QString *error) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("INSERT INTO calls (") + kColumns +
              QStringLiteral(") VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"));
    q.addBindValue(call.sequence);
    q.addBindValue(call.id);
    q.addBindValue(call.screen);
    q.addBindValue(call.line == Line::Lower ? 1 : 0);
    q.addBindValue(call.text);
    q.addBindValue(call.colour);
    q.addBindValue(call.minDisplayMs);
    q.addBindValue(call.lossy ? 1 : 0);
    q.addBindValue(stateName(call.state));
    q.addBindValue(call.accepted.toMSecsSinceEpoch());
    q.addBindValue(msOrNull(call.shown));
    q.addBindValue(notNull(call.error));
    q.addBindValue(call.attempts);
    if (q.exec()) return true;
    if (error) *error = q.lastError().text();
    return false;
}

bool CallJournal::update(const Call &call) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral(
        "UPDATE calls SET state = ?, shown = ?, error = ?, attempts = ? WHERE id = ?"));
    q.addBindValue(stateName(call.state));
    q.addBindValue(msOrNull(call.shown));
    q.addBindValue(notNull(call.error));
    q.addBindValue(call.attempts);
    q.addBindValue(call.id);
    return q.exec();
}

std::optional<Call> CallJournal::find(const QString &id) const {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM calls WHERE id = ?"));
    q.addBindValue(id);
    if (q.exec() && q.next()) return callOf(q);
    return std::nullopt;
}

QList<Call> CallJournal::unfinished() const {
    QList<Call> calls;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT ") + kColumns + QStringLiteral(" FROM calls WHERE ") +
                kUnfinished + QStringLiteral(" ORDER BY sequence")))
        return calls;
    while (q.next())
        calls.append(callOf(q));
    return calls;
}

QList<Call> CallJournal::expire(const QDateTime &cutoff) {
    QList<Call> expired;
    for (Call c : unfinished()) {
        if (c.accepted >= cutoff) continue;
        c.state = CallState::Expired;
        if (update(c)) expired.append(c);
    }
    return expired;
}

QList<Call> CallJournal::lastFinished(int screen, int count) const {
    QList<Call> calls;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT ") + kColumns +
              QStringLiteral(" FROM calls WHERE screen = ? AND NOT ") + kUnfinished +
              QStringLiteral(" ORDER BY sequence DESC LIMIT ?"));
    q.addBindValue(screen);
    q.addBindValue(count);
    if (!q.exec()) return calls;
    while (q.next())
        calls.append(callOf(q));
    return calls;
}

std::optional<Call> CallJournal::lastShown(int screen, Line line) const {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("SELECT ") + kColumns +
              QStringLiteral(" FROM calls WHERE screen = ? AND line = ? AND state = 'shown' "
                             "ORDER BY shown DESC LIMIT 1"));
    q.addBindValue(screen);
    q.addBindValue(line == Line::Lower ? 1 : 0);
    if (q.exec() && q.next()) return callOf(q);
    return std::nullopt;
}

qint64 CallJournal::lastSequence() const {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (q.exec(QStringLiteral("SELECT MAX(sequence) FROM calls")) && q.next())
        return q.value(0).toLongLong();
    return 0;
}

void CallJournal::prune(int screen) {
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    q.prepare(QStringLiteral("DELETE FROM calls WHERE screen = ? AND NOT ") + kUnfinished +
              QStringLiteral(" AND sequence < (SELECT MIN(sequence) FROM (SELECT sequence FROM "
                             "calls WHERE screen = ? ORDER BY sequence DESC LIMIT ?))"));
    q.addBindValue(screen);
    q.addBindValue(screen);
    q.addBindValue(KeepPerScreen);
    q.exec();
}

QList<int> CallJournal::screens() const {
    QList<int> numbers;
    QSqlQuery q(QSqlDatabase::database(m_connection, false));
    if (!q.exec(QStringLiteral("SELECT DISTINCT screen FROM calls"))) return numbers;
    while (q.next())
        numbers.append(q.value(0).toInt());
    return numbers;
}

} // namespace service
