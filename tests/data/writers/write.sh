#!/usr/bin/env bash
# Writes the files of this folder again with the tools themselves, as Debian 12 packages them: r-cran-bio3d,
# r-cran-igraph, r-cran-mass, python3-numpy, python3-pandas and python3-prody. Each tool also reads back
# what it wrote; r-expected.tsv.gz and python-expected.tsv.gz hold those numbers, which linkmap is held to.
set -euo pipefail
cd "$(dirname "$0")"
Rscript write_r.R
# igraph stamps its GML with the time it was written; the stamp is left out, so that a file changes only with
# its graph.
sed -i "/^Creator /d" igraph-cna-1dpx.gml
gzip -9nf r-expected.tsv
/usr/bin/python3 write_python.py
gzip -9nf python-expected.tsv
