"""The Python module, held to the command line: every result is the one linkmap gives for the same input.

Run by CTest with Debian's python3 (numpy 1.24, pandas 1.5, Pillow 9.4, pytest 7.2), the module's folder on PYTHONPATH
and the program in LINKMAP_EXECUTABLE.
"""
import os
import subprocess
import xml.etree.ElementTree as ElementTree
from pathlib import Path

import numpy as np
import pytest
from PIL import Image

import linkmap

EXECUTABLE = os.environ["LINKMAP_EXECUTABLE"]
DISPLAY = os.environ.get("DISPLAY")  # CTest's virtual display, which the tests put aside but for images
SOURCE = Path(__file__).resolve().parents[2]
EXAMPLES = SOURCE / "examples"
PROTEASE = str(EXAMPLES / "protease-a-gnm.csv")
STRUCTURE = str(EXAMPLES / "1hpv.pdb")
GRAPHML = "{http://graphml.graphdrawing.org/xmlns}"


def run(arguments, settings=None):
    """The command line's run: its standard output and exit status, without a display."""
    environment = {k: v for k, v in os.environ.items() if not k.startswith("LINKMAP_") and k != "DISPLAY"}
    environment["OSG_WINDOW"] = "0 0 1200 900"
    environment.update(settings or {})
    done = subprocess.run([EXECUTABLE] + arguments, env=environment, capture_output=True, text=True,
                          timeout=300)
    return done.stdout, done.returncode


@pytest.fixture(autouse=True)
def same_window(monkeypatch):
    # The module frames its figures for the window the command line's do.
    monkeypatch.setenv("OSG_WINDOW", "0 0 1200 900")
    monkeypatch.delenv("DISPLAY", raising=False)


def graphml(path):
    """The nodes' attributes by name, and the edges as (name, name, weight), of a GraphML file."""
    root = ElementTree.parse(path).getroot()
    keys = {key.get("id"): key.get("attr.name") for key in root.iter(GRAPHML + "key")}
    nodes, ids = {}, {}
    for node in root.iter(GRAPHML + "node"):
        data = {keys[d.get("key")]: d.text for d in node.iter(GRAPHML + "data")}
        nodes[data["name"]] = data
        ids[node.get("id")] = data["name"]
    edges = []
    for edge in root.iter(GRAPHML + "edge"):
        data = {keys[d.get("key")]: d.text for d in edge.iter(GRAPHML + "data")}
        edges.append((ids[edge.get("source")], ids[edge.get("target")], float(data["weight"])))
    return nodes, edges


def links_by_name(network):
    names = network.sites
    return sorted((names[row["first"]], names[row["second"]], float(row["weight"])) for row in network.links)


def test_a_file_reads_as_the_command_line_reads_it(tmp_path):
    for settings in ({}, {"min_weight": 0.4}, {"min_weight": 0.3, "groups": "betweenness"}):
        network = linkmap.read(PROTEASE, **settings)
        out = tmp_path / "net.graphml"
        _, status = run([PROTEASE, "--generate-image", str(out)],
                        {"LINKMAP_" + k.upper(): str(v) for k, v in settings.items()})
        assert status == 0
        nodes, edges = graphml(out)
        assert sorted(network.sites) == sorted(nodes)
        assert links_by_name(network) == sorted(edges)


def test_an_array_in_memory_reads_as_the_same_npy_file(tmp_path):
    # numpy's arrays in both precisions and both orders, and a DataFrame, against the .npy numpy saves.
    rng = np.random.default_rng(7)
    matrix = np.corrcoef(rng.normal(size=(60, 40)))
    saved = tmp_path / "m.npy"
    np.save(saved, matrix)
    expected = linkmap.read(str(saved), min_weight=0.3)
    for given in (matrix, np.asfortranarray(matrix), matrix.astype(np.float32)):
        network = linkmap.Network(given, min_weight=0.3)
        assert network.sites == expected.sites
        if given.dtype == np.float64:
            assert links_by_name(network) == links_by_name(expected)
        else:
            assert [link[:2] for link in links_by_name(network)] == [link[:2] for link in links_by_name(expected)]
    pandas = pytest.importorskip("pandas")
    names = ["R%d" % (i + 1) for i in range(60)]
    frame = pandas.DataFrame(matrix, index=names, columns=names)
    network = linkmap.Network(frame, min_weight=0.3)
    assert set(network.sites) <= set(names)
    renamed = [(names[int(a[1:]) - 1], names[int(b[1:]) - 1], w) for a, b, w in links_by_name(expected)]
    assert links_by_name(network) == sorted(renamed)


def test_measures_and_paths_are_the_command_lines(tmp_path):
    network = linkmap.read(PROTEASE, min_weight=0.25)
    out = tmp_path / "net.graphml"
    log, status = run([PROTEASE, "--generate-image", str(out)],
                      {"LINKMAP_MIN_WEIGHT": "0.25", "LINKMAP_SIZE": "betweenness", "LINKMAP_FROM": "I50",
                       "LINKMAP_TO": "D25", "LINKMAP_COLOR": "community"})
    assert status == 0
    nodes, _ = graphml(out)
    communities = network.communities()
    betweenness = network.betweenness()
    for site, name in enumerate(network.sites):
        assert int(nodes[name]["community"]) == communities[site]
        assert float(nodes[name]["betweenness"]) == pytest.approx(betweenness[site], abs=1e-9)
    lines = [line for line in log.splitlines() if line.startswith("Path ")]
    paths = network.paths("I50", "D25", k=10)
    assert len(lines) == len(paths) == 10
    for line, (sites, length) in zip(lines, paths):
        assert line.endswith("length %.6f: %s" % (length, " ".join(sites)))


@pytest.mark.parametrize("name", ["net.svg", "net.html", "net.glb", "net.graphml", "net.pml", "net.pdb"])
def test_a_figure_saves_what_the_command_line_writes(tmp_path, name):
    settings = {"min_weight": 0.25, "structure": STRUCTURE, "from": "I50", "to": "D25", "key": 1}
    network = linkmap.read(PROTEASE, min_weight=0.25)
    ours = tmp_path / ("module-" + name)
    network.figure(**{k: v for k, v in settings.items() if k != "min_weight"}).save(str(ours))
    theirs = tmp_path / name
    _, status = run([PROTEASE, "--generate-image", str(theirs)],
                    {"LINKMAP_" + k.upper(): str(v) for k, v in settings.items()})
    assert status == 0
    assert ours.read_bytes() == theirs.read_bytes()


def test_an_image_of_the_window_is_the_command_lines(tmp_path, monkeypatch):
    if not DISPLAY:
        pytest.skip("an image of the window needs a display; CTest runs this under a virtual one")
    monkeypatch.setenv("DISPLAY", DISPLAY)
    regions = {"positive": str(EXAMPLES / "positive.txt"), "negative": str(EXAMPLES / "negative.txt"),
               "accelerated": str(EXAMPLES / "accelerated.txt")}
    for settings in ({}, {"select": "K45", "cutoff": 0.4}):
        ours = tmp_path / "module.png"
        linkmap.read(str(EXAMPLES / "network.txt"), **regions).figure(**settings).save(str(ours))
        theirs = tmp_path / "program.png"
        environment = {"LINKMAP_" + k.upper(): str(v) for k, v in settings.items()}
        environment["DISPLAY"] = DISPLAY
        _, status = run([str(EXAMPLES / "network.txt"), "-p", regions["positive"], "-n", regions["negative"],
                         "-a", regions["accelerated"], "--generate-image", str(theirs)], environment)
        assert status == 0
        # The same picture. A process that drew figures before keeps the labels' glyphs in a texture laid out
        # otherwise, which may shade a few pixels of a label's edge a little otherwise; nothing else differs.
        with Image.open(ours) as a, Image.open(theirs) as b:
            assert a.size == b.size and a.mode == b.mode
            difference = np.abs(np.asarray(a, dtype=np.int16) - np.asarray(b, dtype=np.int16))
        assert difference.max() <= 16 and np.count_nonzero(difference) < 500, settings


def test_the_notebook_shows_the_page_inline():
    network = linkmap.read(PROTEASE, min_weight=0.4)
    html = network.figure()._repr_html_()
    assert html.startswith("<iframe srcdoc=\"")
    assert "three" in html and "&quot;" in html
    assert "\"" not in html[len("<iframe srcdoc=\""):html.index("\" style=")]


@pytest.mark.parametrize("keyword,value", [("min_weight", "-1"), ("groups", "rings"), ("cutoff", "2"),
                                           ("structure", "/no/such.pdb"), ("size", "large")])
def test_errors_are_the_command_lines_lines(keyword, value, tmp_path):
    line, status = run([PROTEASE, "--generate-image", str(tmp_path / "x.svg")],
                       {"LINKMAP_" + keyword.upper(): value})
    assert status == 1
    with pytest.raises(linkmap.InputError) as refused:
        linkmap.read(PROTEASE, **{keyword: value}).figure().save(str(tmp_path / "x.svg"))
    assert str(refused.value) == line.strip()


def test_what_the_module_refuses():
    network = linkmap.read(PROTEASE, min_weight=0.4)
    cases = [
        (lambda: linkmap.read(PROTEASE, colour="community"), linkmap.InputError,
         "Error: linkmap has no setting colour"),
        (lambda: network.figure(min_weight=0.5).save("x.svg"), linkmap.InputError,
         "Error: min_weight chooses how the network is read: give it to linkmap.read or linkmap.Network"),
        (lambda: network.paths("I50", "Z999"), linkmap.InputError, "Error: Z999 names no site of the network"),
        (lambda: linkmap.Network(np.zeros((3, 4))), linkmap.InputError,
         "Error: the matrix given is not square: a matrix of links has as many rows as columns"),
        (lambda: linkmap.Network(np.zeros((3, 3), dtype=np.int32)), linkmap.InputError,
         "Error: the matrix given holds i items; linkmap reads float32 and float64"),
        (lambda: network.figure().save("/no/such/folder/x.svg"), linkmap.OutputError, None),
        (lambda: network.figure().save("x.png"), linkmap.OutputError,
         "Error: could not open a window; linkmap needs a display with OpenGL (check DISPLAY)"),
        (lambda: network.figure().save("x"), linkmap.OutputError,
         "Error: linkmap cannot write x: its name ends in no format linkmap writes (an image: .png, .jpg, .bmp, "
         ".tif; a figure: .svg, .pdf, .eps; .html, .glb, .gltf, .graphml, .pml, .pdb)"),
    ]
    for call, kind, message in cases:
        with pytest.raises(kind) as refused:
            call()
        if message is not None:
            assert str(refused.value) == message
