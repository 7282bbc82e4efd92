#include <FuzzInput.h>
#include <network/NetworkReader.h>
#include <network/RegionClassifier.h>
#include <network/RegionLists.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    // A gzip stream cut short or damaged is refused; anything else is read.
    RegionLists lists;
    try
    {
        if (!readRegionFile(writeFuzzInput(data, size), lists.positiveRanges))
            std::abort();
    }
    catch (const InputError& error)
    {
        checkText(error.what());
        checkWrittenText();
        return 0;
    }
    // The notes are text.
    checkWrittenText();
    // No number of the file is negative, since "-" separates them.
    const RegionClassifier classifier(lists);
    for (const SiteRange& range : lists.positiveRanges)
    {
        if (range.first < 0 || range.last < 0)
            std::abort();
        if (classifier.classify(range.first) != RegionKind::Positive && range.first <= range.last)
            std::abort();
    }
    return 0;
}
