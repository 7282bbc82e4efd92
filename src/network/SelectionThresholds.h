#ifndef LINKMAP_NETWORK_SELECTIONTHRESHOLDS
#define LINKMAP_NETWORK_SELECTIONTHRESHOLDS 1

/** The thresholds at which a selection analysis calls a site selected; HyPhy's own by default. */
struct SelectionThresholds
{
    /** FEL, SLAC and MEME call a site selected at a p-value of at most this. */
    double pValue = 0.1;

    /** FUBAR calls a site selected at a posterior probability of at least this. */
    double posterior = 0.9;
};

#endif
