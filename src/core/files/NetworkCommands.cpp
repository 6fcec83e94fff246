#include "files/NetworkCommands.h"

#include <memory>

#include "files/NetworkFile.h"
#include "model/Network.h"
#include "model/WindowSettings.h"

namespace zan {

std::string NetworkSummary(const TNetwork& net, const TWindowSettings& window, int version) {
    long nodes = 0;
    long links = 0;
    long shapePoints = 0;
    long polygons = 0;
    net.Hash.ForEachNode([&](const TNode& n) {
        if (!n.IsDrawnN)
            return;
        ++nodes;
        if (!n.MyPolygonList.IsEmpty())
            ++polygons;
        for (const TLink* half : n.LinkList) {
            const TLinkValues& l = *half->LinkData;
            if (!half->IsAEnd() || !l.IsDrawnL)
                continue;
            ++links;
            for (const TShapePoint* sp : l.ShapePoints)
                shapePoints += sp->IsDrawnN ? 1 : 0;
        }
    });
    std::string s;
    auto line = [&](const std::string& name, const std::string& value) { s += name + ": " + value + "\n"; };
    line("version", std::to_string(version));
    line("nodes", std::to_string(nodes));
    line("links", std::to_string(links));
    line("shape points", std::to_string(shapePoints));
    line("polygons", std::to_string(polygons));
    auto types = [&](const char* kind, const TEntityClass& c) {
        for (int t = 1; t < kEntityTypes; ++t) {
            const TEntityType& type = c.Classs[static_cast<std::size_t>(t)];
            if (type.ename.empty())
                continue;
            line(std::string(kind) + " type " + std::to_string(t),
                 type.ename + ", " + std::to_string(type.atcount) + " attributes");
        }
    };
    types("node", net.NodeDef);
    types("link", net.LinkDef);
    if (window.XMin <= window.XMax && window.YMin <= window.YMax) {
        line("extents", std::to_string(window.XMin) + " " + std::to_string(window.YMin) + " " +
                            std::to_string(window.XMax) + " " + std::to_string(window.YMax));
    } else {
        line("extents", "empty");
    }
    return s;
}

namespace {

void ReportDropped(const TReadReport& report, std::ostream& err) {
    if (report.DroppedLinks())
        err << DroppedLinksMessage(report) << "\n";
}

bool ReadFailed(const TReadReport& report, std::ostream& err) {
    if (report.code == kFileOK)
        return false;
    err << ReadErrorMessage(report) << " (Network Read Error " << report.code << ")\n";
    return true;
}

} // namespace

TCommandNetwork::TCommandNetwork(TWhenDone whenDone)
    : net_(std::make_unique<TNetwork>()), whenDone_(whenDone) {}

TCommandNetwork::~TCommandNetwork() {
    if (whenDone_ == TWhenDone::LeaveToExit)
        static_cast<void>(net_.release()); // the process ends right after: it takes the memory back
}

bool OpenForCommand(const std::string& path, TNetwork& net, TWindowSettings& window, std::ostream& err) {
    const TReadReport report = OpenNetworkFile(path, net, window);
    ReportDropped(report, err);
    return !ReadFailed(report, err);
}

int InfoCommand(const std::string& path, std::ostream& out, std::ostream& err, TWhenDone whenDone) {
    const TCommandNetwork net(whenDone);
    TWindowSettings window;
    const TReadReport report = OpenNetworkFile(path, *net, window);
    ReportDropped(report, err);
    if (ReadFailed(report, err))
        return 1;
    out << NetworkSummary(*net, window, report.version);
    return 0;
}

int SaveAsCommand(const std::string& in, const std::string& out, int version, std::ostream& err,
                  TWhenDone whenDone) {
    if (HeaderOfVersion(version) == nullptr) {
        err << "There is no network file version " << version << " (versions: 1, 3, 4, 5, 6, 7, 8, 9).\n";
        return 1;
    }
    const TCommandNetwork net(whenDone);
    TWindowSettings window;
    const TReadReport report = OpenNetworkFile(in, *net, window);
    ReportDropped(report, err);
    if (ReadFailed(report, err))
        return 1;
    const TWriteReport written = SaveNetworkFile(out, *net, window, version);
    if (written.realErrors > 0)
        err << "Real number errors converted to 0\n";
    if (written.code != kFileOK) {
        err << "Network write error " << written.code << " (Cannot Write File)\n";
        return 1;
    }
    return 0;
}

} // namespace zan
