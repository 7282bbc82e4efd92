// Reads a matrix, a pair list or GraphML as the program does, phase by phase, and prints one line of figures:
// the seconds of reading, of setting the rings out (the community search) and of writing GraphML, the rate of
// reading in MB/s, the counts, and the peak resident size.
//
//   ImportBenchmark FILE [MIN_WEIGHT] [communities|components|one]

#include <network/NetworkReader.h>
#include <scene/NetworkFile.h>
#include <scene/SiteLayout.h>

#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace
{

template <typename Action> double secondsFor(Action&& action)
{
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

double peakMegabytes()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_maxrss) / 1024.0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2)
    {
        std::fprintf(stderr, "usage: ImportBenchmark FILE [MIN_WEIGHT] [communities|components|one]\n");
        return 2;
    }
    const std::string path = argv[1];
    ReadSettings settings;
    settings.minimumWeight = argc > 2 ? std::strtof(argv[2], nullptr) : 0.0f;
    settings.grouping = argc > 3 && std::strcmp(argv[3], "components") == 0 ? RingGrouping::Components
                        : argc > 3 && std::strcmp(argv[3], "one") == 0      ? RingGrouping::One
                                                                            : RingGrouping::Communities;
    struct stat status
    {
    };
    stat(path.c_str(), &status);
    const double megabytes = static_cast<double>(status.st_size) / 1e6;

    // The phases readNetwork runs, one at a time.
    CorrelationNetwork network;
    LoadProgress silent;
    const InputFormat format = inputFormatOf(path);
    const double read = secondsFor([&] {
        if (format == InputFormat::Graphml)
            readGraphmlFile(path, settings, network);
        else
            readTableFile(path, format, TableLayout::AsRowsTell, settings, network, silent);
    });
    std::size_t leftOut = 0;
    const double rings = secondsFor([&] {
        leftOut = network.removeUnlinkedSites();
        groupIntoRings(network, settings.grouping);
    });
    const std::string graphml = "/tmp/ImportBenchmark.graphml";
    const double write = secondsFor([&] {
        const SiteLayout layout = layoutSites(network, LayoutKind::FittedRingGrid);
        try
        {
            writeGraphml(network, layout, graphml);
        }
        catch (const OutputError& failure)
        {
            std::fprintf(stderr, "%s\n", failure.what());
            std::exit(1);
        }
    });
    std::remove(graphml.c_str());
    std::printf("read_s=%.3f read_MB_s=%.0f rings_s=%.3f write_s=%.3f sites=%zu left_out=%zu links=%zu "
                "rings=%zu rss_MB=%.0f\n",
                read, megabytes / read, rings, write, network.siteCount(), leftOut, network.linkCount(),
                network.ringCount(), peakMegabytes());
    return 0;
}
