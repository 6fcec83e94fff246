#include "model/Collect.h"

namespace zan {

void RaiseCollError(int code, std::int32_t info) {
    switch (code) {
    case coOverflow:
        throw CollException("Collection overflow - cannot grow!");
    case coUnderflow:
        throw CollException("Collection underflow - cannot shrink!");
    default:
        throw CollException("Collection error; wrong index: " + std::to_string(info));
    }
}

} // namespace zan
