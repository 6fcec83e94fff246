// What the program does from the command line without a window: summarise a network file, or
// convert it to another version.
#pragma once

#include <memory>
#include <ostream>
#include <string>

namespace zan {

class TNetwork;
struct TWindowSettings;

// What a command does with the network it read once it is done. A process about to exit may leave
// the network to the operating system, which takes the whole address space back at once, instead of
// freeing millions of elements one by one (a second or more on a statewide network). Builds under
// the sanitizers release it, so that the tests keep proving the release correct.
enum class TWhenDone { Release, LeaveToExit };

// Reads a network file for a command: reports dropped links and, when the file cannot be read, the
// program's message on `err`. Returns whether the network was read.
bool OpenForCommand(const std::string& path, TNetwork& net, TWindowSettings& window, std::ostream& err);

// The network of a command, released or left to the exit when the command returns.
class TCommandNetwork {
public:
    explicit TCommandNetwork(TWhenDone whenDone);
    ~TCommandNetwork();
    TCommandNetwork(const TCommandNetwork&) = delete;
    TCommandNetwork& operator=(const TCommandNetwork&) = delete;
    TNetwork& operator*() const { return *net_; }
    TNetwork* operator->() const { return net_.get(); }

private:
    std::unique_ptr<TNetwork> net_;
    TWhenDone whenDone_;
};

// "name: value" lines: version, nodes, links, shape points, polygons (drawn elements), the named
// node and link types with their attribute counts, and the extents.
std::string NetworkSummary(const TNetwork& net, const TWindowSettings& window, int version);

// Prints the summary of a network file; on a read error prints the program's message to `err`.
// Returns the exit status: 0, or 1 when the file cannot be read.
int InfoCommand(const std::string& path, std::ostream& out, std::ostream& err,
                TWhenDone whenDone = TWhenDone::Release);

// Reads `in` and writes it to `out` in `version`. Dropped links and values that could not be
// formatted are reported on `err`. Returns 0, or 1 when reading or writing failed.
int SaveAsCommand(const std::string& in, const std::string& out, int version, std::ostream& err,
                  TWhenDone whenDone = TWhenDone::Release);

} // namespace zan
