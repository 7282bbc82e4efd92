// The reader of the sequence that names sites known by their numbers: FASTA, NEXUS, Clustal or bare.
#include <FuzzInput.h>
#include <network/SiteNames.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadSettings settings;
    settings.sequenceFile = writeFuzzInput(data, size);
    try
    {
        const SiteNamer namer(settings);
        // A sequence read holds a letter for its first site, which names it after its number.
        const std::string first = namer.nameOf(1);
        if (first.size() < 2 || first.substr(first.size() - 1) != "1")
            std::abort();
        for (const long number : {2L, 40L, 100000L})
        {
            try
            {
                namer.nameOf(number);
            }
            catch (const InputError& error)
            {
                checkText(error.what());
            }
        }
    }
    catch (const InputError& error)
    {
        checkText(error.what());
    }
    checkWrittenText();
    return 0;
}
