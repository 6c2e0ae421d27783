// The virtual screen's frame parser: the same bytes give the same frames
// however they are cut into reads. The first byte seeds the cuts; a header
// announces its packets as a board that took it does.
#include "FuzzSupport.h"

#include "sim/FrameParser.h"

namespace {
struct Run {
    FrameParser parser;
    QByteArray frames; // every frame's kind and bytes, in order
    Run() {
        parser.onFrame = [this](const Frame &f) {
            frames.append(char(f.kind)).append(f.raw);
            if (f.kind == Frame::Kind::Header) parser.expectPackets(f.packetCount());
        };
    }
};
} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size < 1) return 0;
    const QByteArray stream = fuzz::bytes(data + 1, size - 1);
    Run whole;
    whole.parser.feed(stream);
    Run cut;
    quint32 seed = data[0] | 1u;
    for (qsizetype at = 0; at < stream.size();) {
        seed = seed * 1103515245u + 12345u;
        const qsizetype n = qMin<qsizetype>(1 + (seed >> 16) % 9, stream.size() - at);
        if (n == 1)
            cut.parser.feed(quint8(stream.at(at)));
        else
            cut.parser.feed(stream.mid(at, n));
        fuzz::require(cut.parser.bytesToNextFrame() >= 1, "no byte is awaited");
        at += n;
    }
    fuzz::require(whole.frames == cut.frames, "the frames depend on how the bytes were cut");
    fuzz::require(whole.parser.strayBytes() == cut.parser.strayBytes(), "stray bytes differ");
    fuzz::require(whole.parser.partial() == cut.parser.partial(), "partial frames differ");
    return 0;
}
