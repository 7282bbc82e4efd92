#!/usr/bin/python3
"""Writes a made-up protein chain as mmCIF for the structure benchmark: one Calpha atom a residue, residue k
named for the letter of site k of a group file (ALA where the file has no site k), the chain a random walk of
3.8 angstrom steps folded into a ball as dense as a protein. Deterministic.

make-structure.py GROUPFILE RESIDUES OUT.cif
"""
import math
import random
import re
import sys

NAMES = dict(A="ALA", R="ARG", N="ASN", D="ASP", C="CYS", Q="GLN", E="GLU", G="GLY", H="HIS", I="ILE",
             L="LEU", K="LYS", M="MET", F="PHE", P="PRO", S="SER", T="THR", W="TRP", Y="TYR", V="VAL")

group_file, count, output = sys.argv[1], int(sys.argv[2]), sys.argv[3]
letters = {}
for line in open(group_file):
    for token in line.split():
        match = re.fullmatch(r"([A-Z])(\d+)", token)
        if match:
            letters[int(match.group(2))] = match.group(1)

# A protein holds about one residue in 130 cubic angstroms; a step that would leave the ball turns back in.
radius = (3.0 * count * 130.0 / (4.0 * math.pi)) ** (1.0 / 3.0)
generator = random.Random(5401)
place = [0.0, 0.0, 0.0]
places = []
for _ in range(count):
    places.append(tuple(place))
    while True:
        z = generator.uniform(-1.0, 1.0)
        angle = generator.uniform(0.0, 2.0 * math.pi)
        step = [math.sqrt(1 - z * z) * math.cos(angle), math.sqrt(1 - z * z) * math.sin(angle), z]
        moved = [p + 3.8 * s for p, s in zip(place, step)]
        if math.dist(moved, (0.0, 0.0, 0.0)) <= radius:
            place = moved
            break

with open(output, "w") as out:
    out.write("data_bench\n#\nloop_\n")
    for field in ("group_PDB", "id", "type_symbol", "label_atom_id", "label_alt_id", "label_comp_id", "label_asym_id",
                  "label_entity_id", "label_seq_id", "Cartn_x", "Cartn_y", "Cartn_z", "occupancy",
                  "B_iso_or_equiv", "auth_seq_id", "auth_asym_id", "pdbx_PDB_model_num"):
        out.write("_atom_site.%s\n" % field)
    for number, (x, y, z) in enumerate(places, start=1):
        name = NAMES.get(letters.get(number, "A"), "ALA")
        out.write("ATOM %d C CA . %s A 1 %d %.3f %.3f %.3f 1.00 20.00 %d A 1\n" % (number, name, number, x, y, z,
                                                                                 number))
