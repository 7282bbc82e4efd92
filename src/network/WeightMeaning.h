#ifndef LINKMAP_NETWORK_WEIGHTMEANING
#define LINKMAP_NETWORK_WEIGHTMEANING 1

/** What a network's weights are, which decides the scale they are drawn on. */
enum class WeightMeaning
{
    /** A correlation, from -1 to 1: drawn from red through yellow to green. */
    Correlation,
    /** A probability, from 0 to 1, such as BGM's posteriors and CASP's contacts: drawn on a sequential ramp.
     */
    Probability,
    /** A score without bounds, such as a coevolution method's couplings: drawn on a sequential ramp from 0 to
     *  the largest |score|. */
    Score,
    /** A length -ln |c|, as bio3d's cna writes its network: read as the correlation |c| = e^-w. */
    Distance
};

#endif
