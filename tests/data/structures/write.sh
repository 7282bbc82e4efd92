#!/usr/bin/env bash
# Copies every PDB and mmCIF file that Debian 12 ships in r-cran-bio3d and pymol-data (ProDy's package ships
# none), and a few of the PDB's entries that python-biopython-doc ships for its tests, compressed with
# gzip -9n; then has bio3d read each and write the trace it finds to expected.tsv.gz.
set -euo pipefail
cd "$(dirname "$0")"
rm -f ./*.pdb.gz ./*.cif.gz
for file in /usr/lib/R/site-library/bio3d/examples/*.pdb /usr/share/pymol/data/demo/*.pdb \
    /usr/share/pymol/data/tut/*.pdb /usr/share/pymol/test/dat/*.pdb /usr/share/pymol/data/chempy/*.pdb; do
    name=$(basename "$file")
    [ -e "$name.gz" ] || gzip -9nc "$file" > "$name.gz"
done
biopython=/usr/share/doc/python-biopython-doc/Tests/PDB
for name in 1A8O.cif 1LCD.cif 2BEG.cif 3JQH.cif 2BEG.pdb 1LCD.pdb; do
    cp "$biopython/$name.gz" .
done
for name in disordered.pdb occupancy.pdb; do
    gzip -9nc "$biopython/$name" > "$name.gz"
done
Rscript expected.R
gzip -9nf expected.tsv
