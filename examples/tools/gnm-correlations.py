#!/usr/bin/python3
"""Cross-correlations of a protein's C-alpha atoms under a Gaussian network model, written as R's write.csv
writes a matrix, for linkmap to read.

gnm-correlations.py STRUCTURE.pdb OUT.csv [CUTOFF]

Every pair of C-alpha atoms closer than CUTOFF angstroms (7.3) is a spring. The correlation of sites i and j
is the normalised pseudo-inverse of the Kirchhoff matrix, G+ij / sqrt(G+ii G+jj). A site is named by its
residue's one-letter code and number; the second chain's numbers are raised by 100, the third's by 200, so
that every name is distinct. Needs python3-numpy.
"""
import sys

import numpy as np

CODES = dict(ALA="A", ARG="R", ASN="N", ASP="D", CYS="C", GLN="Q", GLU="E", GLY="G", HIS="H", ILE="I",
             LEU="L", LYS="K", MET="M", PHE="F", PRO="P", SER="S", THR="T", TRP="W", TYR="Y", VAL="V")

structure, output = sys.argv[1], sys.argv[2]
cutoff = float(sys.argv[3]) if len(sys.argv) > 3 else 7.3

names, places, chains = [], [], []
for line in open(structure):
    if line.startswith("ATOM") and line[12:16] == " CA ":
        chain = line[21]
        if chain not in chains:
            chains.append(chain)
        number = int(line[22:26]) + 100 * chains.index(chain)
        names.append(CODES.get(line[17:20], "X") + str(number))
        places.append([float(line[30:38]), float(line[38:46]), float(line[46:54])])

places = np.array(places)
distances = np.linalg.norm(places[:, None] - places[None], axis=2)
kirchhoff = -(distances < cutoff).astype(float)
np.fill_diagonal(kirchhoff, 0.0)
np.fill_diagonal(kirchhoff, -kirchhoff.sum(axis=1))
inverse = np.linalg.pinv(kirchhoff)
correlations = inverse / np.sqrt(np.outer(np.diag(inverse), np.diag(inverse)))

with open(output, "w") as out:
    out.write('""' + "".join(',"%s"' % name for name in names) + "\n")
    for name, row in zip(names, correlations):
        out.write('"%s",' % name + ",".join("%.3f" % value for value in row) + "\n")
