// Helpers shared by the network file tests.
#pragma once

#include <memory>
#include <string>

#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan::testing {

// A network read from a file, with its window's settings and the outcome of the read.
struct Loaded {
    TNetwork net;
    TWindowSettings window;
    TReadReport report;
};

// The first line where two file texts differ, for a readable failure; empty when they are equal.
inline std::string FirstDifference(const std::string& a, const std::string& b) {
    std::size_t line = 1;
    std::size_t start = 0;
    for (std::size_t i = 0; i < std::min(a.size(), b.size()); ++i) {
        if (a[i] != b[i]) {
            const std::size_t endA = a.find('\n', i);
            const std::size_t endB = b.find('\n', i);
            return "line " + std::to_string(line) + ": [" + a.substr(start, endA - start) + "] vs [" +
                   b.substr(start, endB - start) + "]";
        }
        if (a[i] == '\n') {
            ++line;
            start = i + 1;
        }
    }
    return a.size() == b.size() ? std::string()
                                : "lengths " + std::to_string(a.size()) + " and " + std::to_string(b.size());
}

} // namespace zan::testing
