# bio3d's contact map and cna's four clustering methods on it, for the normal modes of 1dpx and 1hel (the
# protease bio3d ships has its Cα atoms alone): cna(cij, cutoff.cij = 0.4, cm = cmap(pdb), cluster.method = ...).
suppressMessages({library(bio3d); library(igraph)})
example <- function(name) system.file(paste0("examples/", name), package = "bio3d")
quietly <- function(expr) { capture.output(value <- suppressWarnings(expr)); value }
write.pairs <- function(cm, file) {
    pairs <- which(cm == 1 & upper.tri(cm), arr.ind = TRUE)
    pairs <- pairs[order(pairs[, 1], pairs[, 2]), , drop = FALSE]
    writeLines(sprintf("%d %d", pairs[, 1], pairs[, 2]), file)
}
set.seed(5401)
for (name in c("1dpx", "1hel")) {
    pdb <- read.pdb(example(paste0(name, ".pdb")))
    case <- list(name, pdb, quietly(dccm(nma(pdb))))
    # The protein alone, as cna needs a map of the matrix's residues: 1dpx has chloride ions too.
    cm <- quietly(cmap(case[[2]], inds = atom.select(case[[2]], "protein", verbose = FALSE)))
    cm[is.na(cm)] <- 0
    write.pairs(cm, paste0("bio3d-", case[[1]], "-cmap.txt"))
    for (method in c("btwn", "walk", "greed", "infomap")) {
        net <- quietly(cna(case[[3]], cutoff.cij = 0.4, cm = cm, cluster.method = method))
        writeLines(paste(net$communities$membership, collapse = " "),
                   paste0("bio3d-", case[[1]], "-cna-", method, ".txt"))
    }
}
