#!/usr/bin/env bash
# Writes the files of this folder again with the tools themselves, as Debian 12 packages them: r-cran-bio3d,
# r-cran-igraph, r-cran-mass, python3-numpy, python3-pandas and python3-prody. Each tool also reads back
# what it wrote; r-expected.tsv.gz and python-expected.tsv hold those numbers, which linkmap is held to.
set -euo pipefail
cd "$(dirname "$0")"
Rscript write_r.R
gzip -9nf r-expected.tsv
/usr/bin/python3 write_python.py
gzip -9nf python-expected.tsv
