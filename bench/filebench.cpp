// zan_filebench: the cost of saving and opening a large network file.
//
//   zan_filebench make FILE [--nodes N] [--links N] [--attributes N] [--shape K] [--polygons N]
//                           [--named F] [--displayed F]
//       builds a generated network and saves it, timing the save. By default every element is
//       named, a link has one shape point on average, and there are 100 polygons; --shape sets the
//       average of shape points a link, --named and --displayed the shares (0..1) of elements with
//       a name and with a display record.
//   zan_filebench open FILE
//       opens the file, timing it, compares the peak memory of the process while opening with the
//       heap the loaded network holds, and times releasing the network
#include <malloc.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include "NetworkGenerator.h"
#include "files/NetworkFile.h"

using namespace zan;
using Clock = std::chrono::steady_clock;

namespace {

double Seconds(Clock::time_point since) {
    return std::chrono::duration<double>(Clock::now() - since).count();
}

std::size_t HeapInUse() {
    const struct mallinfo2 info = mallinfo2();
    return info.uordblks + info.hblkhd;
}

// A line of /proc/self/status in kB.
long StatusKb(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind(key, 0) == 0)
            return std::strtol(line.c_str() + std::strlen(key), nullptr, 10);
    }
    return -1;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: zan_filebench make FILE [--nodes N] [--links N] [--attributes N] [--shape K]\n"
                 "                           [--polygons N] [--named F] [--displayed F]\n"
                 "       zan_filebench open FILE\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3)
        return Usage();
    const std::string mode = argv[1];
    const std::string path = argv[2];
    if (mode == "make") {
        bench::TGeneratorOptions o;
        o.nodeAttributes = o.linkAttributes = 10;
        o.named = 1;
        for (int i = 3; i + 1 < argc; i += 2) {
            const std::string arg = argv[i];
            char* end = nullptr;
            const double v = std::strtod(argv[i + 1], &end);
            if (end == argv[i + 1] || *end != '\0' || !(v >= 0))
                return Usage();
            if (arg == "--nodes")
                o.nodes = static_cast<std::int64_t>(v);
            else if (arg == "--links")
                o.links = static_cast<std::int64_t>(v);
            else if (arg == "--attributes")
                o.nodeAttributes = o.linkAttributes = static_cast<std::int32_t>(std::min(v, 100.0));
            else if (arg == "--shape")
                o.shapePointsPerLink = v;
            else if (arg == "--polygons")
                o.polygons = static_cast<std::int64_t>(v);
            else if (arg == "--named")
                o.named = v;
            else if (arg == "--displayed")
                o.displayed = v;
            else
                return Usage();
        }
        auto net = std::make_unique<TNetwork>();
        TWindowSettings window;
        bench::BuildNetwork(bench::GenerateNetwork(o), *net, window);
        // The text alone, then the whole save (text, write, flush to disk, rename).
        auto t = Clock::now();
        int errors = 0;
        const std::size_t bytes = WriteNetworkText(*net, window, kCurrentVersion, errors).size();
        const double textSeconds = Seconds(t);
        t = Clock::now();
        const TWriteReport report = SaveNetworkFile(path, *net, window, kCurrentVersion);
        const double seconds = Seconds(t);
        if (report.code != kFileOK) {
            std::fprintf(stderr, "save failed: code %d\n", report.code);
            return 1;
        }
        std::printf("saved %lld nodes, %lld links in %.2f s (text alone %.2f s); file %.1f MiB\n",
                    static_cast<long long>(o.nodes), static_cast<long long>(o.links), seconds, textSeconds,
                    static_cast<double>(bytes) / (1024.0 * 1024.0));
        return 0;
    }
    if (mode == "open") {
        malloc_trim(0);
        const long rssBefore = StatusKb("VmRSS:");
        const std::size_t heapBefore = HeapInUse();
        auto net = std::make_unique<TNetwork>();
        TWindowSettings window;
        const auto t = Clock::now();
        const TReadReport report = OpenNetworkFile(path, *net, window);
        const double seconds = Seconds(t);
        if (report.code != kFileOK) {
            std::fprintf(stderr, "open failed: code %d\n", report.code);
            return 1;
        }
        const double held = static_cast<double>(HeapInUse() - heapBefore) / 1024.0;
        const double peak = static_cast<double>(StatusKb("VmHWM:") - rssBefore);
        const int nodes = net->NumberOfNodes;
        const auto r = Clock::now();
        net.reset();
        const double release = Seconds(r);
        std::printf("opened %d nodes in %.2f s; network holds %.1f MiB, peak while opening %.1f MiB (%.2f "
                    "times); released in %.2f s\n",
                    nodes, seconds, held / 1024.0, peak / 1024.0, peak / held, release);
        return 0;
    }
    return Usage();
}
