// ledfile.ini as any bytes: the document gives back every byte it read, an
// edit leaves the other lines alone, and the registry reads its screens.
#include "FuzzSupport.h"

#include "config/CIniFile.h"
#include "config/IniCodec.h"
#include "config/IniDocument.h"
#include "config/RegistryFile.h"
#include "protocol/VbError.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    IniDocument doc = IniDocument::fromBytes(input);
    fuzz::require(doc.toBytes() == input, "the document does not give back the file's bytes");

    const QString global = RegistryFile::globalSection();
    const QString first = RegistryFile::sectionName(1);
    doc.value(global, QStringLiteral("SUM"));
    for (const QString &key : doc.keys(first))
        doc.value(first, key);
    IniCodec::wholeCharacterPrefix(input, qsizetype(size / 2));

    IniDocument edited = doc;
    edited.setValue(first, QStringLiteral("Pname"), QByteArrayLiteral("fuzz"));
    fuzz::require(edited.value(first, QStringLiteral("Pname")) == QByteArrayLiteral("fuzz"),
                  "a value set is not read back");
    fuzz::require(IniDocument::fromBytes(edited.toBytes()).value(first, QStringLiteral("Pname")) ==
                      QByteArrayLiteral("fuzz"),
                  "a value set is not read back from the saved bytes");
    edited.removeKey(first, QStringLiteral("Pname"));

    CIniFile ini;
    ini.SpecifyIni(fuzz::scratchFile(QStringLiteral("ledfile.ini"), input));
    ini.ReadString(global, QStringLiteral("DQPSign"), RegistryFile::GlobalSize);
    ini.ReadInt(first, QStringLiteral("Padr"));
    // Every screen costs four reads of the whole file: past a few the target
    // would spend its time reading the same sections again.
    if (RegistryFile::screenCount(ini).count <= 16) RegistryFile::readScreens(ini);
    return 0;
}
