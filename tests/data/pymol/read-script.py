"""Runs a PyMOL script linkmap wrote (--generate-image net.pml) in Debian 12's PyMOL (2.5.0), headless, as
its users run one, and prints what PyMOL then holds, as JSON: its objects, the residues of each selection
(chain and number), the extent of each object, its view and field of view. With a second argument it
ray-traces the view to that PNG.

    /usr/bin/python3 read-script.py net.pml [picture.png]
"""
import json
import sys

import pymol

pymol.finish_launching(["pymol", "-cq"])
from pymol import cmd  # noqa: E402

script = sys.argv[1]
cmd.load(script)
names = cmd.get_names("all")
held = {
    "objects": cmd.get_names("objects"),
    "selections": cmd.get_names("selections"),
    "residues": {},
    "extent": {},
    "view": list(cmd.get_view()),
    "field_of_view": float(cmd.get("field_of_view")),
    "orthoscopic": cmd.get("orthoscopic"),
}
for name in held["selections"]:
    residues = set()
    cmd.iterate(name + " and name CA", "residues.add((chain, resi))", space={"residues": residues})
    held["residues"][name] = sorted("%s:%s" % residue for residue in residues)
for name in held["objects"]:
    held["extent"][name] = cmd.get_extent(name)
if len(sys.argv) > 2:
    cmd.png(sys.argv[2], width=1200, height=900, ray=1)
    cmd.sync()
print(json.dumps(held))
