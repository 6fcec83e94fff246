// Fuzz target for the network file reader: any input must read without a crash, a hang or a
// sanitizer report, and whatever the reader accepts the writer must turn into a file that reads
// back to the same text.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    zan::TNetwork net;
    zan::TWindowSettings window;
    const zan::TReadReport report = zan::ReadNetworkText(text, net, window);
    if (report.code != zan::kFileOK)
        return 0;

    int errors = 0;
    const std::string written = zan::WriteNetworkText(net, window, report.version, errors);
    zan::TNetwork again;
    zan::TWindowSettings againWindow;
    if (zan::ReadNetworkText(written, again, againWindow).code != zan::kFileOK)
        std::abort();
    if (zan::WriteNetworkText(again, againWindow, report.version, errors) != written)
        std::abort();
    return 0;
}
