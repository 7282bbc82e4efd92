"""Writes integrase-made.pdb, a chain made from the reference of HyPhy's integrase_BDA.nex (its first sequence,
translated by the standard genetic code) with residues deleted, inserted and substituted on purpose, and
integrase-made.tsv, the chain's residue that each of the reference's residues must stand on (none where it was
deleted). The chain is numbered 1, 2, ... along itself, so that no number tells the reference's residue: only
an alignment of the two sequences does. Its Calpha atoms wind along a helix, 3.8 A apart where the chain is
whole and further apart across the deletion."""
import math
import pathlib

here = pathlib.Path(__file__).parent
code = {a + b + c: aa for (a, b, c), aa in zip(
    [(x, y, z) for x in "TCAG" for y in "TCAG" for z in "TCAG"],
    "FFLLSSSSYY**CC*WLLLLPPPPHHQQRRRRIIIMTTTTNNKKSSRRVVVVAAAADDEEGGGG")}
three = dict(A="ALA", R="ARG", N="ASN", D="ASP", C="CYS", Q="GLN", E="GLU", G="GLY", H="HIS", I="ILE",
             L="LEU", K="LYS", M="MET", F="PHE", P="PRO", S="SER", T="THR", W="TRP", Y="TYR", V="VAL")

text = (here / "integrase_BDA.nex").read_text().splitlines()
matrix = False
first = None
letters = ""
for line in text:
    row = line.strip()
    if not matrix:
        matrix = row.lower().startswith("matrix")
        continue
    if row.startswith(";") or row.upper().startswith("END"):
        break
    if len(row.split()) < 2:
        continue
    name, rest = row.split(None, 1)
    first = first or name
    if name == first:
        letters += "".join(rest.split()).rstrip(";")
reference = ""
for at in range(0, len(letters) - 2, 3):
    codon = letters[at:at + 3].upper()
    reference += "-" if codon == "---" else code.get(codon, "X")
residues = reference.replace("-", "")

# The chain: the reference's residues in order, residues 50 to 54 deleted, three glycines inserted after 100,
# and residues 150 and 200 changed for another (a tryptophan, which neither is).
chain = []  # (one-letter code, the reference's residue from 1, or None for an inserted one)
for number, letter in enumerate(residues, start=1):
    if 50 <= number <= 54:
        continue
    chain.append(("W" if number in (150, 200) else letter, number))
    if number == 100:
        chain.extend([("G", None)] * 3)
assert all(letter in three for letter, _ in chain), "a residue without a standard three-letter name"

pdb = []
for start in range(0, len(chain), 13):
    names = " ".join(three[letter] for letter, _ in chain[start:start + 13])
    pdb.append("SEQRES %3d A %4d  %-51s" % (start // 13 + 1, len(chain), names))
previous = None
jump = 0.0
for serial, (letter, number) in enumerate(chain, start=1):
    # Along a helix of 2.3 A radius, 1.5 A a turn of 100 degrees: 3.8 A between Calphas; across the
    # deletion, a jump of 12 A.
    angle = math.radians(100 * serial)
    jump += 12.0 if previous == 49 else 0.0
    rise = 1.5 * serial + jump
    x, y, z = 2.3 * math.cos(angle), 2.3 * math.sin(angle), rise
    pdb.append("ATOM  %5d  CA  %3s A%4d    %8.3f%8.3f%8.3f  1.00 20.00           C  "
               % (serial, three[letter], serial, x, y, z))
    previous = number if number is not None else previous
pdb.append("TER")
pdb.append("END")
(here / "integrase-made.pdb").write_text("\n".join(pdb) + "\n")
with open(here / "integrase-made.tsv", "w") as table:
    table.write("reference\tresidue\n")
    where = {number: serial for serial, (_, number) in enumerate(chain, start=1) if number is not None}
    for number in range(1, len(residues) + 1):
        table.write("%d\t%s\n" % (number, where.get(number, "")))
