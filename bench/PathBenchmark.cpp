// Finds the paths between two sites of a network as the program does, and prints one line of figures: the
// network's counts, and the seconds to find k = 10 and k = 100 paths between its first site and the first
// site of its last ring, with how many were found and the shortest length.
//
//   PathBenchmark GROUPFILE

#include <network/LinkPaths.h>
#include <network/NetworkReader.h>

#include <chrono>
#include <cstdio>

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: PathBenchmark GROUPFILE\n");
        return 2;
    }
    CorrelationNetwork network;
    LoadProgress silent;
    readNetwork(argv[1], ReadSettings(), network, silent);
    if (network.ringCount() < 2)
        return 1;
    const std::uint32_t source = *network.ring(0).begin();
    const std::uint32_t sink = *network.ring(network.ringCount() - 1).begin();
    std::printf("| %zu | %zu | %s to %s |", network.siteCount(), network.linkCount(),
                network.names[source].c_str(), network.names[sink].c_str());
    for (const std::size_t k : {std::size_t(10), std::size_t(100)})
    {
        const auto start = std::chrono::steady_clock::now();
        const PathSearch search = findPaths(network, source, sink, k, LinkFilter());
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        std::printf(" %.3f (%zu, shortest %.3f) |", seconds, search.paths.size(),
                    search.paths.empty() ? 0.0 : search.paths.front().length);
    }
    std::printf("\n");
    return 0;
}
