#include "config/RegistryFile.h"

#include "config/NumericText.h"
#include "protocol/ProgramDir.h"
#include "protocol/VbError.h"

#include <cmath>

QString RegistryFile::fileName() {
    return QStringLiteral("ledfile.ini");
}

QString RegistryFile::path() {
    return ProgramDir::filePath(fileName());
}

QString RegistryFile::globalSection() {
    return QStringLiteral("屏总数");
}

QString RegistryFile::sectionName(int number) {
    // The number is formatted with a sign position: a blank for 0 and above.
    const QString digits =
        number < 0 ? QString::number(number) : QLatin1Char(' ') + QString::number(number);
    return QStringLiteral("第") + digits + QStringLiteral("号屏");
}

QList<CIniFile::Write> RegistryFile::firstStartValues() {
    const QString global = globalSection();
    const QString first = sectionName(1);
    return {
        {global, QStringLiteral("SUM"), QStringLiteral("1")},
        {global, QStringLiteral("DQPSign"), QStringLiteral("1")},
        {first, QStringLiteral("Pname"), QStringLiteral("第一号屏")},
        {first, QStringLiteral("Pcode"), QStringLiteral("1")},
        {first, QStringLiteral("Pbtl"), QStringLiteral("9600")},
        {first, QStringLiteral("Padr"), QStringLiteral("1")},
        {first, QStringLiteral("Pchang"), QStringLiteral("128")},
        {first, QStringLiteral("TSUM"), QStringLiteral("0")},
        {first, QStringLiteral("Pgao"), QStringLiteral("32")},
        {first, QStringLiteral("Pcolor"), QStringLiteral("0")},
        {first, QStringLiteral("Pleixing"), QStringLiteral("1")},
        {first, QStringLiteral("PQSign"), QStringLiteral("4")},
        // "1/16扫描", the scan mode the window shows at start; the scan list
        // has three items, so a 3 here would name none of them.
        {first, QStringLiteral("PScan"), QStringLiteral("2")},
    };
}

const QList<RegistryFile::IndexKey> &RegistryFile::indexKeys() {
    static const QList<IndexKey> keys{
        {QStringLiteral("Pcolor"), QStringLiteral("色彩"), 3, &ScreenFields::Pcolor},
        {QStringLiteral("Pleixing"), QStringLiteral("主控类型"), 6, &ScreenFields::Pleixing},
        {QStringLiteral("POE"), QStringLiteral("极性"), 2, &ScreenFields::POE},
        {QStringLiteral("PDataSign"), QStringLiteral("数据极性"), 2, &ScreenFields::PDataSign},
        {QStringLiteral("PCol_F"), QStringLiteral("区内走向"), 2, &ScreenFields::PCol_F},
        {QStringLiteral("PColRule"), QStringLiteral("行加减"), 5, &ScreenFields::PColRule},
        {QStringLiteral("PQSign"), QStringLiteral("每区行数"), 6, &ScreenFields::PQSign},
        {QStringLiteral("PScan"), QStringLiteral("扫描方式"), 3, &ScreenFields::PScan},
    };
    return keys;
}

namespace {
// The highest n whose section "第 n号屏" is in the file, 0 when none is.
int highestScreenSection(const IniDocument &doc) {
    const QString head = QStringLiteral("第 ");
    const QString tail = QStringLiteral("号屏");
    int highest = 0;
    for (const QString &name : doc.sections()) {
        if (!name.startsWith(head) || !name.endsWith(tail)) continue;
        bool ok = false;
        const int n = name.mid(head.size(), name.size() - head.size() - tail.size()).toInt(&ok);
        if (ok && n <= 32767 && RegistryFile::sectionName(n) == name) highest = qMax(highest, n);
    }
    return highest;
}
} // namespace

RegistryFile::ScreenCount RegistryFile::screenCount(CIniFile &ini) {
    return screenCount(ini.Snapshot());
}

RegistryFile::ScreenCount RegistryFile::screenCount(const IniDocument &doc) {
    const double sum = NumericText::value(
        CIniFile::ReadString(doc, globalSection(), QStringLiteral("SUM"), GlobalSize));
    ScreenCount result;
    if (sum >= 1 && std::nearbyint(sum) <= 32767) {
        result.count = int(std::nearbyint(sum));
        // Screens past the last section would be nameless and portless.
        const int present = highestScreenSection(doc);
        if (present < result.count) {
            result.notLoaded =
                QStringLiteral(
                    "ledfile.ini 中 SUM=%1，但文件里只有 %2 个屏的设置，其余的屏没有读入。")
                    .arg(result.count)
                    .arg(present);
            result.count = qMax(1, present);
        }
        return result;
    }
    result.error = sum > 32767 ? vberr::Overflow : vberr::InvalidPropertyArrayIndex;
    int named = 0;
    while (named < 32767) {
        const auto name = doc.value(sectionName(named + 1), QStringLiteral("Pname"));
        if (!name || name->isEmpty()) break;
        ++named;
    }
    result.count = qMax(1, named);
    return result;
}

QList<RegistryFile::RegisteredScreen> RegistryFile::readScreens(CIniFile &ini) {
    QList<RegisteredScreen> screens;
    const IniDocument doc = ini.Snapshot();
    const int count = screenCount(doc).count;
    for (int n = 1; n <= count; ++n) {
        const QString section = sectionName(n);
        const auto read = [&](const QString &key) {
            return CIniFile::ReadString(doc, section, key, ScreenSize);
        };
        const auto number = [&](const char *key) {
            const double v = NumericText::value(read(QLatin1String(key)));
            return std::fabs(v) < 2e9 ? int(std::nearbyint(v)) : 0;
        };
        RegisteredScreen s;
        s.number = n;
        s.name = read(QStringLiteral("Pname"));
        s.port = number("Pcode");
        s.baud = BaudRate::text(BaudRate::position(read(QStringLiteral("Pbtl"))));
        s.address = number("Padr");
        screens.append(s);
    }
    return screens;
}

void RegistryFile::write(CIniFile &ini, const QList<CIniFile::Write> &writes) {
    if (!ini.WriteStrings(writes)) {
        const int number = ini.lastWriteError() ? ini.lastWriteError() : vberr::InvalidCall;
        throw VbError(number, ini.ErrorMsg.isEmpty() ? QStringLiteral("写入失败") : ini.ErrorMsg);
    }
}

void RegistryFile::writeKey(CIniFile &ini, const QString &section, const QString &key,
                            const QString &value) {
    write(ini, {{section, key, value}});
}
