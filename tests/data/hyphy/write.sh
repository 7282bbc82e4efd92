#!/usr/bin/env bash
# Runs HyPhy (Debian's hyphy-pt) over three codon alignments that it ships, and writes its JSON results here:
# FEL, FUBAR and BGM on each, and MEME on the Drosophila alignment. Debian's /usr/bin/hyphy joins its
# arguments into one, so the package's own binary is called. README.md says which version wrote them.
set -euo pipefail
cd "$(dirname "$0")"
hyphy=/usr/lib/hyphy/bin/hyphy-avx
[ -x "$hyphy" ] || hyphy=/usr/lib/hyphy/bin/hyphy
datasets=/usr/share/hyphy/TemplateBatchFiles/Miscellaneous/phylohandbook/datasets
declare -A alignments=([adh]="$datasets/Drosophilia_adh.nex" [h5n1]="$datasets/H5N1_HA_5.nex"
                       [p51]=/usr/share/hyphy/data/p51.nex)
cp /usr/share/hyphy/data/integrase_BDA.nex .
for name in adh h5n1 p51; do
    cp "${alignments[$name]}" "$name.nex"
    for method in FEL FUBAR BGM; do
        "$hyphy" "${method,,}" --alignment "$name.nex" --output "$name.$method.json" < /dev/null > /dev/null
    done
done
"$hyphy" meme --alignment adh.nex --output adh.MEME.json < /dev/null > /dev/null
rm -f ./*.nex.* errors.log messages.log
# FUBAR's results hold its whole grid of posteriors; linkmap reads them through gzip as they are.
gzip -9nf ./*.FUBAR.json
/usr/bin/python3 expected.py
/usr/bin/python3 made_structure.py
