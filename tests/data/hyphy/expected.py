"""Writes expected.json: what Python's json module reads in HyPhy's results here and in ../field, by HyPhy's own
rules, for the tests to hold linkmap to. BGM: every pair, its posterior, and those at the threshold of its
settings. FEL, FUBAR, MEME, SLAC: the sites each calls under positive and negative selection at HyPhy's default
thresholds (p <= 0.1, posterior >= 0.9), and every site's two rates and deciding statistics."""
import gzip
import json
import math
import pathlib

here = pathlib.Path(__file__).parent
files = sorted(here.glob("*.json")) + sorted(here.glob("*.json.gz")) + sorted((here / "../field").glob("integrase_BDA.*.json"))


def load(path):
    opener = gzip.open if path.name.endswith(".gz") else open
    with opener(path, "rt") as stream:
        return json.load(stream)


def column(result, name):
    return [header[0] for header in result["MLE"]["headers"]].index(name)


def rows(result):
    # Every partition's rows, SLAC's under by-site and AVERAGED, numbered by the partition's coverage.
    for partition, value in result["MLE"]["content"].items():
        if isinstance(value, dict):
            value = value["by-site"]["AVERAGED"]
        coverage = result["data partitions"][partition]["coverage"][0]
        for index, row in enumerate(value):
            yield coverage[index] + 1, row


def number(value):
    return value if isinstance(value, (int, float)) and not math.isnan(value) else None


expected = {}
for path in files:
    if path.name == "expected.json":
        continue
    result = load(path)
    method = result["analysis"]["info"].split("\n")[0]
    name = path.name
    if "BGM" in method:
        either = column(result, "P [Site 1 <\u2013> Site 2]")
        first, second = column(result, "Site 1"), column(result, "Site 2")
        threshold = result["settings"]["threshold"]
        pairs = [[int(row[first]), int(row[second]), row[either]] for row in result["MLE"]["content"]]
        expected[name] = {"method": "BGM", "threshold": threshold, "pairs": len(pairs),
                          "largest": max(pair[2] for pair in pairs),
                          "reported": [pair for pair in pairs if pair[2] >= threshold]}
        continue
    for key, rates, positive, negative, posterior in [
            ("FUBAR", ("alpha", "beta"), "Prob[alpha<beta]", "Prob[alpha>beta]", True),
            ("MEME", ("&alpha;", "&beta;<sup>+</sup>"), "p-value", None, False),
            ("SLAC", ("dS", "dN"), "P [dN/dS > 1]", "P [dN/dS < 1]", False),
            ("FEL", ("alpha", "beta"), "p-value", "p-value", False)]:
        if key in method:
            break
    else:
        continue
    sites = {}
    called = {"positive": [], "negative": []}
    for site, row in rows(result):
        a, b = number(row[column(result, rates[0])]), number(row[column(result, rates[1])])
        values = [a, b, row[column(result, positive)]]
        if negative is not None:
            values.append(row[column(result, negative)])
        sites[site] = values
        for role, decides in (("positive", positive), ("negative", negative)):
            if decides is None:
                continue
            value = row[column(result, decides)]
            sure = value >= 0.9 if posterior else value <= 0.1
            if key == "FEL":
                sure = sure and (b > a if role == "positive" else b < a)
            if sure:
                called[role].append(site)
    expected[name] = {"method": key, "positive": called["positive"],
                      "negative": called["negative"] if negative is not None else None, "sites": sites}

with open(here / "expected.json", "w") as out:
    json.dump(expected, out, indent=0, sort_keys=True)
