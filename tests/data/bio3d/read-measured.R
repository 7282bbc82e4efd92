# Reads a structure linkmap wrote with its sites' measures (--generate-image net.pdb) with bio3d's read.pdb,
# as its users read one, and prints each Cα's chain, residue number, B-factor and occupancy, a line each, in
# file order. Run with Debian 12's r-cran-bio3d 2.4-4-1 (bio3d 2.4.4): Rscript read-measured.R net.pdb
suppressMessages(library(bio3d))
pdb <- read.pdb(commandArgs(trailingOnly = TRUE)[1], verbose = FALSE)
alpha <- pdb$atom[pdb$calpha, ]
write.table(alpha[, c("chain", "resno", "b", "o")], stdout(), quote = FALSE, row.names = FALSE,
            col.names = FALSE)
