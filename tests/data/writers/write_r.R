# The matrices R and bio3d write, every writer over every naming, and what R reads back from each.
suppressMessages({library(bio3d); library(igraph); library(MASS)})
example <- function(name) system.file(paste0("examples/", name), package = "bio3d")
quietly <- function(expr) { capture.output(value <- suppressWarnings(expr)); value }
expected <- file("r-expected.tsv", "w")
expect <- function(file, m, names) {
    n <- nrow(m)
    upper <- which(upper.tri(m), arr.ind = TRUE)
    upper <- upper[order(upper[, 1], upper[, 2]), , drop = FALSE]
    lines <- sprintf("%s\t%s\t%s\t%.17g", file, names[upper[, 1]], names[upper[, 2]], m[upper])
    writeLines(lines, expected)
}

# dccm of the normal modes of 1dpx, its first twelve residues, named three ways.
pdb <- read.pdb(example("1dpx.pdb"))
cij <- quietly(dccm(nma(pdb)))
ca <- pdb$atom[pdb$calpha, ]
n <- 12
m <- unclass(cij)[1:n, 1:n]
namings <- list(none = NULL, numbers = as.character(ca$resno[1:n]),
                residues = paste0(aa321(ca$resid[1:n]), ca$resno[1:n]))
# linkmap's names: X and the number for a site known by its number alone.
shown <- list(none = paste0("X", 1:n), numbers = paste0("X", ca$resno[1:n]), residues = namings$residues)
writers <- list(
    "write-csv.csv" = list(function(x, f) write.csv(x, f), function(f, h) read.csv(f, row.names = 1, check.names = FALSE)),
    "write-csv-no-row-names.csv" = list(function(x, f) write.csv(x, f, row.names = FALSE),
                                        function(f, h) read.csv(f, check.names = FALSE)),
    "write-table.txt" = list(function(x, f) write.table(x, f), function(f, h) read.table(f, header = TRUE, check.names = FALSE)),
    "write-table-tab.tsv" = list(function(x, f) write.table(x, f, sep = "\t"),
                                 function(f, h) read.table(f, header = TRUE, sep = "\t", check.names = FALSE)),
    "write-table-unquoted.txt" = list(function(x, f) write.table(x, f, quote = FALSE),
                                      function(f, h) read.table(f, header = TRUE, check.names = FALSE)),
    "write-csv2.csv" = list(function(x, f) write.csv2(x, f), function(f, h) read.csv2(f, row.names = 1, check.names = FALSE)),
    # write.matrix heads its columns 1 to n when the matrix has no names.
    "mass-write-matrix.txt" = list(function(x, f) MASS::write.matrix(x, f),
                                   function(f, h) read.table(f, header = TRUE, check.names = FALSE)))
for (naming in names(namings)) {
    x <- m
    if (!is.null(namings[[naming]])) dimnames(x) <- list(namings[[naming]], namings[[naming]])
    for (writer in names(writers)) {
        file <- paste0("r-", naming, "-", writer)
        writers[[writer]][[1]](x, file)
        back <- as.matrix(writers[[writer]][[2]](file, !is.null(namings[[naming]])))
        expect(file, back, shown[[naming]])
    }
}

# bio3d's dccm of the normal modes of every structure it ships, as write.csv writes it, gzipped.
for (name in c("1dpx", "1hel", "hivp", "test")) {
    structure <- read.pdb(example(paste0(name, ".pdb")))
    c <- quietly(dccm(nma(structure)))
    file <- paste0("bio3d-nma-", name, ".csv")
    write.csv(c, file)
    back <- as.matrix(read.csv(file, row.names = 1, check.names = FALSE))
    expect(paste0(file, ".gz"), back, paste0("X", seq_len(nrow(back))))
    system(paste("gzip -9nf", file))
}

# bio3d's dccm of its protease trajectory (../bio3d, written by cna.R there), as R reads it back.
back <- as.matrix(read.csv(gzfile("../bio3d/bio3d-hivp-dccm.csv.gz"), row.names = 1, check.names = FALSE))
expect("../bio3d/bio3d-hivp-dccm.csv.gz", back, paste0("X", seq_len(nrow(back))))

# cna's network of the 1dpx matrix, as igraph writes it: weights are the lengths -ln|c|.
net <- quietly(cna(cij, cutoff.cij = 0.4))$network
for (format in c("graphml", "gml", "ncol", "edgelist")) {
    file <- paste0("igraph-cna-1dpx.", format)
    write_graph(net, file, format = format)
}
edges <- as_data_frame(net)
write.csv(edges, "igraph-cna-1dpx-edges.csv")
# What igraph reads back of each: the graphs name their sites as cna does, 1 to n; the edge list numbers
# them from 0 and has no weights.
for (format in c("graphml", "gml", "ncol")) {
    back <- as_data_frame(read_graph(paste0("igraph-cna-1dpx.", format), format = format))
    writeLines(sprintf("igraph-cna-1dpx.%s\t%s\t%s\t%.17g", format, back$from, back$to, back$weight), expected)
}
back <- as_data_frame(read_graph("igraph-cna-1dpx.edgelist", format = "edgelist", directed = FALSE))
writeLines(sprintf("igraph-cna-1dpx.edgelist\tX%d\tX%d\t1", back$from - 1, back$to - 1), expected)
back <- read.csv("igraph-cna-1dpx-edges.csv", row.names = 1)
writeLines(sprintf("igraph-cna-1dpx-edges.csv\tX%s\tX%s\t%.17g", back$from, back$to, back$weight), expected)
close(expected)
cat(R.version.string, "bio3d", as.character(packageVersion("bio3d")), "igraph",
    as.character(packageVersion("igraph")), "MASS", as.character(packageVersion("MASS")), "\n")
