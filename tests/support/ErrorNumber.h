#pragma once
// The run-time error number an action raises, or 0 when it raises none.
#include "protocol/VbError.h"

#include <functional>

inline int errorNumberOf(const std::function<void()> &f) {
    try {
        f();
    } catch (const VbError &e) {
        return e.number();
    }
    return 0;
}
