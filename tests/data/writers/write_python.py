"""The matrices numpy, pandas and ProDy write, and what each tool reads back from them."""
import warnings

warnings.filterwarnings("ignore")
import numpy as np
import pandas as pd
import prody

prody.confProDy(verbosity="none")
expected = open("python-expected.tsv", "w")


def expect(file, matrix, names):
    for i in range(len(names)):
        for j in range(i + 1, len(names)):
            if not np.isnan(matrix[i, j]):
                expected.write("%s\t%s\t%s\t%s\n" % (file, names[i], names[j], repr(float(matrix[i, j]))))


# ProDy's cross-correlations of the anisotropic network model of bio3d's 1dpx.
structure = prody.parsePDB("/usr/lib/R/site-library/bio3d/examples/1dpx.pdb")
alphas = structure.select("protein and name CA")
anm = prody.ANM("1dpx")
anm.buildHessian(alphas)
anm.calcModes()
cross = prody.calcCrossCorr(anm)
numbers = list(alphas.getResnums())
everyone = ["X%d" % (i + 1) for i in range(len(numbers))]

prody.writeArray("prody-writearray.txt", cross)
expect("prody-writearray.txt", np.loadtxt("prody-writearray.txt"), everyone)
np.save("prody-np-save.npy", cross)
expect("prody-np-save.npy", np.load("prody-np-save.npy"), everyone)

# numpy's own writers, of its first twelve residues.
part = cross[:12, :12]
rows = ["X%d" % (i + 1) for i in range(12)]
np.save("numpy-save.npy", part)
expect("numpy-save.npy", np.load("numpy-save.npy"), rows)
for file, options in [("numpy-savetxt.txt", {}), ("numpy-savetxt-comma.csv", {"delimiter": ","}),
                      ("numpy-savetxt-3f.txt", {"fmt": "%.3f"})]:
    np.savetxt(file, part, **options)
    expect(file, np.loadtxt(file, delimiter=options.get("delimiter")), rows)

# pandas with the residues' numbers for labels, residues 40 to 51.
labels = numbers[39:51]
frame = pd.DataFrame(cross[39:51, 39:51], index=labels, columns=labels)
named = ["X%d" % n for n in labels]
for file, options, back in [("pandas-to-csv.csv", {}, {"index_col": 0}),
                            ("pandas-to-csv-tab.tsv", {"sep": "\t"}, {"index_col": 0, "sep": "\t"}),
                            ("pandas-to-csv-no-index.csv", {"index": False}, {})]:
    frame.to_csv(file, **options)
    # pandas reads numbers exactly only when asked to.
    expect(file, pd.read_csv(file, float_precision="round_trip", **back).to_numpy(), named)
expected.close()
print("numpy", np.__version__, "pandas", pd.__version__, "ProDy", prody.__version__)
