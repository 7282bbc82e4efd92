#!/usr/bin/python3
"""Cross-correlations of a protein's C-alpha atoms under a Gaussian network model, written as R's write.csv
writes a matrix, for linkmap to read.

gnm-correlations.py STRUCTURE.pdb OUT.csv [CUTOFF [CHAIN]]

Every pair of C-alpha atoms closer than CUTOFF angstroms (7.3) is a spring. The correlation of sites i and j
is the normalised pseudo-inverse of the Kirchhoff matrix, G+ij / sqrt(G+ii G+jj). A site is named by its
residue's one-letter code and number; the second chain's numbers are raised by 100, the third's by 200, so
that every name is distinct. With CHAIN, the model still spans every chain, but only that chain's sites are
written, numbered as in the structure. Needs python3-numpy.
"""
import sys

import numpy as np

CODES = dict(ALA="A", ARG="R", ASN="N", ASP="D", CYS="C", GLN="Q", GLU="E", GLY="G", HIS="H", ILE="I",
             LEU="L", LYS="K", MET="M", PHE="F", PRO="P", SER="S", THR="T", TRP="W", TYR="Y", VAL="V")

structure, output = sys.argv[1], sys.argv[2]
cutoff = float(sys.argv[3]) if len(sys.argv) > 3 else 7.3
only = sys.argv[4] if len(sys.argv) > 4 else None

names, places, chains, site_chains, numbers = [], [], [], [], []
for line in open(structure):
    if line.startswith("ATOM") and line[12:16] == " CA ":
        chain = line[21]
        if chain not in chains:
            chains.append(chain)
        site_chains.append(chain)
        numbers.append(int(line[22:26]))
        names.append(CODES.get(line[17:20], "X") + str(numbers[-1] + 100 * chains.index(chain)))
        places.append([float(line[30:38]), float(line[38:46]), float(line[46:54])])

places = np.array(places)
distances = np.linalg.norm(places[:, None] - places[None], axis=2)
kirchhoff = -(distances < cutoff).astype(float)
np.fill_diagonal(kirchhoff, 0.0)
np.fill_diagonal(kirchhoff, -kirchhoff.sum(axis=1))
inverse = np.linalg.pinv(kirchhoff)
correlations = inverse / np.sqrt(np.outer(np.diag(inverse), np.diag(inverse)))

kept = [i for i in range(len(names)) if only is None or site_chains[i] == only]
if only is not None:
    names = [name.rstrip("0123456789") + str(number) for name, number in zip(names, numbers)]
with open(output, "w") as out:
    out.write('""' + "".join(',"%s"' % names[i] for i in kept) + "\n")
    for i in kept:
        out.write('"%s",' % names[i] + ",".join("%.3f" % correlations[i, j] for j in kept) + "\n")
