# bio3d's trace of each structure here: the Cα of every amino acid and the C4' of every nucleotide of its
# first model, with alternate locations as bio3d keeps them (the first), in file order.
suppressMessages(library(bio3d))
out <- file("expected.tsv", "w")
for (file in sort(c(Sys.glob("*.pdb.gz"), Sys.glob("*.cif.gz")))) {
    plain <- tempfile(fileext = sub(".gz$", "", sub("^.*(\\.[a-z]+\\.gz)$", "\\1", file)))
    system(paste("gzip -dc", shQuote(file), ">", shQuote(plain)))
    s <- suppressWarnings(if (grepl("cif", file)) read.cif(plain, verbose = FALSE) else read.pdb(plain, verbose = FALSE))
    # bio3d's read.cif keeps the quotes mmCIF puts round a name with a prime, "C4'".
    s$atom$elety <- gsub('"', "", s$atom$elety)
    protein <- atom.select(s, "protein", elety = "CA", verbose = FALSE)$atom
    nucleic <- atom.select(s, "nucleic", elety = "C4'", verbose = FALSE)$atom
    a <- s$atom[sort(c(protein, nucleic)), ]
    if (nrow(a) > 0) {
        insert <- ifelse(is.na(a$insert), "", a$insert)
        writeLines(sprintf("%s\t%s\t%d\t%s\t%s\t%.3f\t%.3f\t%.3f", file, a$chain, a$resno, insert, a$resid,
                           a$x, a$y, a$z), out)
    } else {
        writeLines(sprintf("%s\t-", file), out)
    }
}
close(out)
cat(R.version.string, "bio3d", as.character(packageVersion("bio3d")), "\n")
