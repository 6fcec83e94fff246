// Inputs the fuzzer found troublesome, kept so that they stay fixed: each must read without a
// crash, and whatever reads must write a file that reads back to the same text.
#include <gtest/gtest.h>

#include <filesystem>

#include "files/FileText.h"
#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan {
namespace {

TEST(FuzzRegressions, ReadAndRoundTrip) {
    const std::filesystem::path folder = std::filesystem::path(ZAN_TEST_FILES) / "regressions";
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        ++files;
        std::string data;
        ASSERT_TRUE(LoadFile(entry.path().string(), data)) << entry.path();
        TNetwork net;
        TWindowSettings window;
        const TReadReport report = ReadNetworkText(data, net, window);
        if (report.code != kFileOK)
            continue;
        int errors = 0;
        const std::string written = WriteNetworkText(net, window, report.version, errors);
        TNetwork again;
        TWindowSettings againWindow;
        ASSERT_EQ(ReadNetworkText(written, again, againWindow).code, kFileOK) << entry.path();
        EXPECT_EQ(WriteNetworkText(again, againWindow, report.version, errors), written) << entry.path();
    }
    EXPECT_GT(files, 0);
}

} // namespace
} // namespace zan
