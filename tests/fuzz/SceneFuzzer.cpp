#include <FuzzInput>
#include <network/CorrelationNetwork>

#include <cstdlib>

extern "C" int LLVMFuzzerInitialize(int*, char***)
{
    silenceStandardOutput();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // Small networks only: each input is built twice, one glyph per element and in batches.
    for (const bool batched : {false, true})
    {
        CorrelationNetwork network;
        network.readGroupFile(writeFuzzInput(data, size));
        if (network.countLinks() > 2000)
            return 0;
        network.markDuplicateNames();
        for (const SiteGroup& group : network.groups)
            for (const Site& site : group)
                if (!network.isKnownName(site.name))
                    std::abort();

        SceneDetail detail;
        if (batched)
            detail.linkLimit = detail.siteLimit = 0;
        network.buildScene(detail);
        // Whatever the input, the scene has a bound the first view can frame, or none at all.
        const osg::BoundingSphere bound = network.getRoot()->getBound();
        if (bound.valid() && !(bound.radius() >= 0.0f && bound.center().valid()))
            std::abort();
    }
    return 0;
}
