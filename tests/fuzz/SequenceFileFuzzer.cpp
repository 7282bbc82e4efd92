// The reader of the sequence that names sites known by their numbers: FASTA, NEXUS, Clustal or bare, and of
// an alignment whose reference names them.
#include <FuzzInput.h>
#include <network/SiteNames.h>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    ReadSettings settings;
    settings.sequenceFile = writeFuzzInput(data, size);
    try
    {
        // An alignment's reference numbers its residues 1, 2, ... along its columns, gaps aside.
        if (const auto alignment = readReferenceAlignment(settings))
        {
            long next = 1;
            for (std::size_t column = 0; column < alignment->columnResidues.size(); ++column)
                if (alignment->columnResidues[column] != 0 && alignment->columnResidues[column] != next++)
                    std::abort();
            if (alignment->residues.size() != static_cast<std::size_t>(next - 1) ||
                alignment->columnLetters.size() != alignment->columnResidues.size())
                std::abort();
            if (!alignment->columnLetters.empty())
                checkText(alignment->nameOf(0));
        }
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
