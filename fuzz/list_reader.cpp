// A list file or text file as any bytes: the reader loads what is there, and
// every entry it understood is written back as the line it came from.
#include "FuzzSupport.h"

#include "config/ListFiles.h"
#include "workflows/TextPool.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input = fuzz::bytes(data, size);
    const ListFiles::Loaded loaded =
        ListFiles::read(fuzz::scratchFile(ListFiles::messageListName(), input), 2);
    fuzz::require(loaded.exists, "a written list file does not exist");
    fuzz::require(loaded.list.flags.size() == 2, "the flags are not the ones asked for");
    for (const QString &line : loaded.list.entries) {
        fuzz::require(ListFiles::entryLine(ListFiles::readEntry(line)) == line,
                      "a message list line is not written back as read");
        fuzz::require(ListFiles::attributeLine(ListFiles::readAttributes(line)) == line,
                      "an attribute line is not written back as read");
        fuzz::require(ListFiles::poolLine(ListFiles::readPoolText(line)) == line,
                      "a pool line is not written back as read");
    }
    ListFiles::bytes(loaded.list);

    fuzz::scratchFile(ListFiles::textFileName(1), input);
    ListFiles::readText(fuzz::scratchDirectory(), 1);
    textpool::fileText(input);
    return 0;
}
