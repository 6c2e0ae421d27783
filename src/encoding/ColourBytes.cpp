#include "encoding/ColourBytes.h"

namespace colourbytes {

int lineColourByte(int hanzi, int asc, int background) {
    return ((background / 2) * 16 + (background % 2)) * 8 + asc * 16 + hanzi;
}

int textColourByte(int window, int background) {
    return (window + 1) * 16 + (background + 1);
}

} // namespace colourbytes
