#include "workflows/ScreenRegistry.h"

#include "config/IniCodec.h"
#include "config/NumericText.h"
#include "config/ProgramDirLock.h"
#include "config/RegistryFile.h"
#include "config/StoreDirectory.h"
#include "encoding/Gbk.h"
#include "protocol/OperatorUi.h"
#include "protocol/VbError.h"

#include <QFileInfo>
#include <algorithm>
#include <cmath>

namespace {
const QString Caption = QStringLiteral("屏幕管理");
const QString SumKey = QStringLiteral("SUM");
const QString CurrentKey = QStringLiteral("DQPSign");

QString withSignBlank(int number) {
    return QLatin1Char(' ') + QString::number(number);
}

bool containsName(const QStringList &names, const QString &key) {
    return std::any_of(names.cbegin(), names.cend(), [&](const QString &n) {
        return QString::compare(n, key, Qt::CaseInsensitive) == 0;
    });
}

// Section `to` becomes a copy of section `from`: every key moves with its
// screen, and a key the moving screen does not have is not left behind.
void moveSection(IniDocument &doc, const QString &from, const QString &to) {
    const QStringList fromKeys = doc.keys(from);
    for (const QString &key : doc.keys(to))
        if (!containsName(fromKeys, key)) doc.removeKey(to, key);
    for (const QString &key : fromKeys)
        doc.setValue(to, key, *doc.value(from, key));
}
} // namespace

ScreenRegistry::ScreenRegistry(CIniFile &ini, OperatorUi &ui, QObject *parent)
    : QObject(parent), m_ini(ini), m_ui(ui) {}

QString ScreenRegistry::currentSection() const {
    return RegistryFile::sectionName(DQPSign);
}

bool ScreenRegistry::trapped(const std::function<void()> &operation) {
    m_pendingError = 0;
    try {
        // What the operation reads of the registry stays true until it has written.
        const ProgramDirLock lock;
        operation();
    } catch (const VbError &e) {
        noteError(e.number());
    }
    if (m_pendingError == 0) return true;
    m_ui.statusError(m_pendingError);
    return false;
}

// A fault the operation recovers from; the first one is reported at its end.
void ScreenRegistry::noteError(int number) {
    if (m_pendingError == 0) m_pendingError = number;
}

bool ScreenRegistry::load() {
    return trapped([this] { loadRegistry(); });
}

bool ScreenRegistry::selectScreen(int position) {
    return trapped([&] { select(position, Origin::Operator); });
}

bool ScreenRegistry::addScreen() {
    return trapped([this] { add(); });
}

bool ScreenRegistry::saveAndTest() {
    return trapped([this] { save(); });
}

bool ScreenRegistry::deleteScreen() {
    return trapped([this] { remove(); });
}

void ScreenRegistry::loadRegistry() {
    m_ini.SpecifyIni(RegistryFile::path());
    if (!QFileInfo::exists(m_ini.filePath()) &&
        !m_ini.WriteStrings(RegistryFile::firstStartValues()))
        noteError(m_ini.lastWriteError());

    const IniDocument doc = m_ini.Snapshot();
    const RegistryFile::ScreenCount sum = RegistryFile::screenCount(doc);
    if (sum.error) noteError(sum.error);
    if (!sum.notLoaded.isEmpty()) m_ui.message(sum.notLoaded, Caption);
    QStringList names;
    for (int n = 1; n <= sum.count; ++n)
        names.append(CIniFile::ReadString(doc, RegistryFile::sectionName(n),
                                          QStringLiteral("Pname"), RegistryFile::ScreenSize));
    m_current = -1;
    m_screens.setStringList(names);

    // A damaged DQPSign leads to the nearest screen that exists; the file
    // keeps its value until the operator picks a screen.
    const double stored = NumericText::value(
        m_ini.ReadString(RegistryFile::globalSection(), CurrentKey, RegistryFile::GlobalSize));
    const double nearest = std::clamp(std::nearbyint(stored), 1.0, double(sum.count));
    if (nearest != stored) noteError(vberr::InvalidPropertyArrayIndex);
    select(int(nearest) - 1, Origin::Load);
}

void ScreenRegistry::select(int position, Origin origin) {
    if (position < 0 || position >= screenCount())
        throw VbError(vberr::InvalidPropertyArrayIndex,
                      QStringLiteral("没有第 %1 号屏").arg(position + 1));
    const int number = position + 1;
    DQPSign = qint16(number);
    if (origin == Origin::Operator) {
        const QString stored =
            m_ini.ReadString(RegistryFile::globalSection(), CurrentKey, RegistryFile::GlobalSize);
        // A file that cannot be written must not keep the operator on one screen.
        if ((stored.isEmpty() || NumericText::value(stored) != number) &&
            !m_ini.WriteString(RegistryFile::globalSection(), CurrentKey, withSignBlank(number)))
            noteError(m_ini.lastWriteError());
    }
    fields.pname = m_screens.stringList().at(position);
    fillFields(RegistryFile::sectionName(number));
    m_current = position;
    emit currentScreenChanged(position);

    MapSavePath.clear();
    try {
        MapSavePath = StoreDirectory::ensure(fields.pname);
    } catch (const VbError &e) {
        // The screen is still selected, with no lists and texts of its own;
        // the operator hears why once, the number shows on every selection.
        noteError(e.number());
        if (!m_toldStoreProblem)
            m_ui.message(e.text() + QStringLiteral("。文字和列表不能保存。"), Caption);
        m_toldStoreProblem = true;
    }
    const double texts = NumericText::value(m_ini.ReadString(
        RegistryFile::sectionName(number), QStringLiteral("TSUM"), RegistryFile::ScreenSize));
    try {
        DQPTgeshu = NumericText::toInt16(texts);
    } catch (const VbError &e) {
        DQPTgeshu = 0;
        noteError(e.number());
    }
    if (onScreenSelected) onScreenSelected();
}

void ScreenRegistry::fillFields(const QString &section) {
    const auto read = [&](const QString &key) {
        return m_ini.ReadString(section, key, RegistryFile::ScreenSize);
    };
    const auto numberText = [&](const char *key) {
        return NumericText::format(NumericText::value(read(QLatin1String(key))));
    };
    fields.Pchao = numberText("Pcode");
    fields.Pbtl = BaudRate::text(BaudRate::position(read(QStringLiteral("Pbtl"))));
    fields.Pdizhi = numberText("Padr");
    fields.Pchang = numberText("Pchang");
    fields.pgao = numberText("Pgao");
    // A position outside its list selects the nearest item that exists.
    for (const RegistryFile::IndexKey &k : RegistryFile::indexKeys()) {
        const double v = NumericText::value(read(k.key));
        const double clamped = std::clamp(std::nearbyint(v), 0.0, double(k.count - 1));
        if (clamped != std::nearbyint(v))
            noteError(std::fabs(v) > 32767 ? vberr::Overflow : vberr::InvalidPropertyValue);
        fields.*(k.field) = int(clamped);
    }
}

bool ScreenRegistry::acceptFields(int ownNumber) {
    const double address = NumericText::value(fields.Pdizhi);
    for (int n = 1; n <= screenCount(); ++n) {
        if (n == ownNumber) continue;
        // Addresses are numbers: "01" and "1" are the same board.
        const QString stored = m_ini.ReadString(RegistryFile::sectionName(n),
                                                QStringLiteral("Padr"), RegistryFile::ScreenSize);
        if (NumericText::value(stored) == address) {
            m_ui.message(QStringLiteral("板卡号码重复，请输入合适的卡号"), Caption);
            return false;
        }
    }
    const QString name = fields.pname.trimmed();
    const QStringList names = m_screens.stringList();
    for (int n = 1; n <= screenCount(); ++n) {
        if (n != ownNumber && names.at(n - 1).trimmed() == name) {
            m_ui.message(QStringLiteral("屏名已经存在，请更换屏名称"), Caption);
            return false;
        }
    }
    if (const QString lost = gbk::unrepresentable(name); !lost.isEmpty()) {
        m_ui.message(QStringLiteral("屏名中的字符“%1”不能存入文件，请更换屏名称").arg(lost),
                     Caption);
        return false;
    }
    if (!StoreDirectory::isUsableName(name)) {
        m_ui.message(QStringLiteral("屏名无效，请更换屏名称"), Caption);
        return false;
    }
    return true;
}

QList<CIniFile::Write> ScreenRegistry::registryWrites(const QString &section, bool forAdd) const {
    const QString name = fields.pname.trimmed();
    if (forAdd)
        return {{section, QStringLiteral("Pname"), name},
                {section, QStringLiteral("Pcode"), fields.Pchao},
                {section, QStringLiteral("Pbtl"), fields.Pbtl},
                {section, QStringLiteral("Pchang"), fields.Pchang},
                {section, QStringLiteral("Padr"), fields.Pdizhi}};
    return {{section, QStringLiteral("Pname"), name},
            {section, QStringLiteral("Pcode"), fields.Pchao},
            {section, QStringLiteral("Pbtl"), fields.Pbtl},
            {section, QStringLiteral("Padr"), fields.Pdizhi},
            {section, QStringLiteral("Pchang"), fields.Pchang}};
}

void ScreenRegistry::edit(const std::function<void(IniDocument &)> &change) {
    if (!m_ini.Edit([&](IniDocument &doc) {
            change(doc);
            return true;
        }))
        throw VbError(m_ini.lastWriteError() ? m_ini.lastWriteError() : vberr::InvalidCall,
                      m_ini.ErrorMsg);
}

void ScreenRegistry::requireWritable(const QString &consequence) {
    const int number = m_ini.writeRefusal();
    if (number == 0) return;
    const QString words = QStringLiteral("ledfile.ini 不能写入（只读或没有权限），") + consequence;
    m_ui.message(words, Caption);
    throw VbError(number, words);
}

void ScreenRegistry::add() {
    if (!acceptFields(0)) return;
    requireWritable(QStringLiteral("屏幕没有增加"));
    const int number = screenCount() + 1;
    const QString section = RegistryFile::sectionName(number);
    QList<CIniFile::Write> writes = registryWrites(section, true);
    writes.append({RegistryFile::globalSection(), SumKey, QString::number(number)});
    writes.append({RegistryFile::globalSection(), CurrentKey, withSignBlank(number)});
    for (const CIniFile::Write &w : writes)
        if (!CIniFile::fitsTheFormat(w))
            throw VbError(vberr::InvalidCall, QStringLiteral("写入失败"));
    edit([&](IniDocument &doc) {
        // A deleted screen may have left this section behind; none of its
        // keys belong to the new screen.
        QStringList own;
        for (const CIniFile::Write &w : writes)
            if (w.section == section) own.append(w.key);
        for (const QString &key : doc.keys(section))
            if (!containsName(own, key)) doc.removeKey(section, key);
        for (const CIniFile::Write &w : writes)
            doc.setValue(w.section, w.key, doc.encode(w.value));
    });
    m_screens.insertRows(number - 1, 1);
    m_screens.setData(m_screens.index(number - 1), fields.pname.trimmed());
    select(number - 1, Origin::Operator);
    if (onConnectionTest) onConnectionTest();
}

void ScreenRegistry::save() {
    if (m_current < 0) throw VbError(vberr::InvalidCall, QStringLiteral("没有当前屏"));
    const int number = m_current + 1;
    if (!acceptFields(number)) return;
    requireWritable(QStringLiteral("屏幕设置没有保存"));
    const QString oldName = m_screens.stringList().at(m_current);
    const QString newName = fields.pname.trimmed();
    // The screen's texts and lists follow it to its new name; a directory
    // already there belongs to no screen and is replaced only on a Yes.
    if (StoreDirectory::leftoverAt(oldName, newName) &&
        !m_ui.askYesNoDefaultNo(QStringLiteral("目录 %1 已经存在，其中的文字和列表不属于本屏。"
                                               "是否删除它，改用本屏的文字和列表？")
                                    .arg(StoreDirectory::pathFor(newName)),
                                Caption))
        return;
    if (!StoreDirectory::moveOnRename(oldName, newName))
        throw VbError(vberr::PathFileAccessError, QStringLiteral("屏幕目录不能改名"));
    try {
        RegistryFile::write(m_ini, registryWrites(RegistryFile::sectionName(number), false));
    } catch (const VbError &) {
        StoreDirectory::moveOnRename(newName, oldName);
        throw;
    }
    m_screens.setData(m_screens.index(m_current), newName);
    select(m_current, Origin::Operator);
    if (onConnectionTest) onConnectionTest();
}

void ScreenRegistry::remove() {
    const int count = screenCount();
    if (count == 1) {
        m_ui.message(QStringLiteral("不能删除所有屏幕"), Caption);
        return;
    }
    if (m_current < 0) throw VbError(vberr::InvalidCall, QStringLiteral("没有当前屏"));
    requireWritable(QStringLiteral("屏幕没有删除"));
    const int removed = m_current;
    const int remaining = count - 1;
    const int next = removed > 0 ? removed - 1 : 0;
    // One atomic save: the file never holds a half-renumbered registry.
    edit([&](IniDocument &doc) {
        for (int n = removed + 1; n <= remaining; ++n)
            moveSection(doc, RegistryFile::sectionName(n + 1), RegistryFile::sectionName(n));
        doc.setValue(RegistryFile::globalSection(), SumKey, QString::number(remaining).toLatin1());
        doc.setValue(RegistryFile::globalSection(), CurrentKey, withSignBlank(next + 1).toLatin1());
    });
    m_screens.removeRows(removed, 1);
    m_current = -1;
    select(next, Origin::Operator);
}
