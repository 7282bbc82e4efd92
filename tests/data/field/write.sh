#!/usr/bin/env bash
# Writes the files of this folder again with the field's own tools, as Debian 12 packages them:
# python3-numpy, python3-pandas, python3-networkx, python3-igraph, r-base-core, octave, freecontact and
# hyphy-pt. Run it from this folder; README.md says which version wrote each file.
set -euo pipefail
cd "$(dirname "$0")"
/usr/bin/python3 write_python.py
Rscript write_r.R
octave-cli --eval "m=[1,0.62,-0.31,0.05,0.4;0.62,1,0.18,-0.77,0.2;-0.31,0.18,1,0.5,-0.1;0.05,-0.77,0.5,1,0.33;0.4,0.2,-0.1,0.33,1]; dlmwrite('octave-dlmwrite.csv', m); save('-ascii','octave-save-ascii.txt','m'); p=[1 2 0.62; 1 3 -0.31; 1 5 0.4; 2 4 -0.77; 3 4 0.5; 4 5 0.33]; save('-ascii','octave-save-ascii-pairs.txt','p');"
freecontact -a 1 < freecontact-input.aln > freecontact.txt
# HyPhy's wrapper joins its arguments into one; the package's own binary takes them as given.
for method in FEL SLAC FUBAR MEME BGM; do
    /usr/lib/hyphy/bin/hyphy "${method,,}" --alignment /usr/share/hyphy/data/integrase_BDA.nex \
        --output "integrase_BDA.$method.json" < /dev/null > /dev/null
done
