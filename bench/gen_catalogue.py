#!/usr/bin/env python3
"""Benchmark data for run_bench.sh (standard library only).

  gen_catalogue.py generate OUTDIR [--lines N] [--seed S]
      writes OUTDIR/bench.tds and OUTDIR/bench.tdx (Windows-1252, CR LF), and the
      block name of the one large group to OUTDIR/bench_group.txt
  gen_catalogue.py to-csv TDS TDX OUTDIR
      cuts a .tds into articles.csv, eqv.csv, designations.csv (UTF-8, no
      header, trimmed values, RAD = row number from 0 first) for the sqlite3
      baseline, and writes schema.sql and indexes.sql to match.
"""
import argparse
import csv
import os
import random
import sys

FIELDS = [
    ("BL_NAME", "Blocknamn", 10), ("TYP", "Typ", 4), ("BENÄMNING", "Benämning", 40),
    ("FABRIKAT", "Fabrikat", 20), ("ARTNR", "Artikelnummer", 20),
    ("BESTNR", "Beställningsnummer", 20), ("TBH/APP", "Tillbehör", 12),
    ("CCONF", "Kontaktdefinition", 30), ("SPÄNNING", "Märkspänning", 8),
    ("STRÖM", "Märkström", 8), ("EFFEKT", "Effekt", 8), ("POLER", "Antal poler", 4),
    ("BREDD", "Bredd mm", 6), ("HÖJD", "Höjd mm", 6), ("DJUP", "Djup mm", 6),
    ("VIKT", "Vikt kg", 6), ("ENHET", "Enhet", 6), ("PRIS", "Listpris", 10),
    ("ELNR", "E-nummer", 8), ("KOMMENTAR", "Kommentar", 20),
]
PREFIX = "DEMO"
CODE_CHARS = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ"
BIG_GROUP = 5000

NOUNS = ["Kontaktorer", "Motorskydd", "Säkringar", "Dvärgbrytare", "Reläer", "Plintar",
         "Kablar", "Tryckknappar", "Signallampor", "Jordfelsbrytare", "Överspänningsskydd",
         "Ändlägesbrytare", "Åskledare", "Frekvensomriktare", "Mjukstartare", "Givare",
         "Nätaggregat", "Kapslingar", "Kabelkanaler", "Strömtransformatorer"]
SERIES = ["", " serie A", " serie B", " serie Ö", " kompakt", " industri", " för skåp",
          " små", " stora", " utomhus", " äldre", " nya", " med tillbehör", " DC",
          " AC", " Å-linjen", " röd", " grå", " special", " övriga"]
MAKERS = ["Nordel", "Ström & Co", "Åkerby Elektro", "Lindqvist AB", "O'Brien Elteknik",
          "Vänerns Kabel", "Hjälmar Industri", "Östgöta Kraft", "Bergvik & Söner"]
WORDS = ["grå", "röd", "grön", "blå", "svart", "vit", "skärmad", "kompakt", "för skena",
         "med lysdiod", "3-pol", "4-pol", "1NO", "1NC", "2 växlande", "24VDC", "230VAC",
         "utförande Ä", "plåt", "stål", "för dörr", "hög", "låg"]
# Contact definitions as the contact dialog writes them.
CCONFS = ["3S:13 14 ;23 24 ;33 34 ;", "1S:13 14 ;", "1S:33 34 ;", "1N:X1  ;", "1A:11 12 14 ;",
          "3B:11 12 ;21 22 ;21 22 ;", "1S1B1S:13 14 ;11 12 ;13 14 ;", "", ""]
UNITS = ["st", "st", "st", "m", "förp", "par"]
COMMENTS = ["", "", "", "", "Utgående", "Ersätts av ny modell", "Lagervara",
            "Beställningsvara", "Kräver tillbehör", "Åtta veckor lev."]


def pad(values):
    out = []
    for (name, _, width), v in zip(FIELDS, values):
        if len(v) > width:
            raise ValueError(f"{name}: {v!r} wider than {width}")
        out.append(v.ljust(width))
    return "".join(out)


def generate(outdir, lines, seed):
    rnd = random.Random(seed)
    groups = 400
    eqv_lines = 300
    article_lines = lines - eqv_lines
    # Block names: mostly article groups, a few accessory groups; I060/I430 are
    # included so the fixed equivalence codes find their targets.
    codes = {"06", "43"}
    while len(codes) < groups - 20:
        codes.add(rnd.choice(CODE_CHARS) + rnd.choice(CODE_CHARS))
    blocks = [PREFIX + "I" + c + "0" for c in sorted(codes)]
    blocks += [PREFIX + "#" + f"K{i:02d}" for i in range(20)]
    descs = []
    for n in NOUNS:
        for s in SERIES:
            d = n + s
            descs.append(d.lower() if rnd.random() < 0.05 else d)
    rnd.shuffle(descs)
    descs = descs[:groups]
    # Accessory groups are named with the accessory prefix, as the editor makes them.
    descs[-20:] = ["TILLB " + d[:34] for d in descs[-20:]]
    assert len(set(d.lower() for d in descs)) == groups
    # One large group for the grid bench (5,000 articles at full size, a tenth of the
    # articles in smaller catalogues); the others around 500, adding up exactly.
    big = groups // 2
    big_size = BIG_GROUP if article_lines >= 10 * BIG_GROUP else max(2, article_lines // 10)
    rest = article_lines - big_size
    sizes = [rest // (groups - 1)] * groups
    sizes[big] = big_size
    others = [i for i in range(groups) if i != big]
    for i in others[:rest - sum(sizes[i] for i in others)]:
        sizes[i] += 1
    for _ in range(groups * 4):
        a, b = rnd.choice(others), rnd.choice(others)
        d = rnd.randint(0, 40)
        if sizes[a] - d > 1:
            sizes[a] -= d
            sizes[b] += d
    assert sizes[big] == big_size and sum(sizes) == article_lines
    order = list(range(groups))
    rnd.shuffle(order)

    rows = []
    for gi in order:
        # A head line first, then the articles with type numbers of their own: a catalogue in
        # use, which the catalogue check finds little wrong with.
        blk, desc = blocks[gi], descs[gi]
        rows.append(pad([blk, "-", desc] + [""] * (len(FIELDS) - 3)))
        for k in range(sizes[gi] - 1):
            maker = rnd.choice(MAKERS)
            name = f"{desc.split()[0]} {rnd.choice(WORDS)} {rnd.choice(WORDS)}"[:40]
            amp = rnd.choice(["6", "10", "16", "25", "32", "63", "0,5", "1,6"])
            rows.append(pad([
                blk, str(k + 1), name, maker,
                f"{maker[:2].upper()}-{gi:03d}-{k:05d}", f"{rnd.randrange(10**6, 10**7)}",
                rnd.choice(["", "", PREFIX + "#K0" + str(rnd.randrange(10))]),
                rnd.choice(CCONFS), rnd.choice(["24", "230", "400", "690", ""]), amp,
                rnd.choice(["0,37", "1,5", "4,0", "11", ""]), str(rnd.choice([1, 2, 3, 4])),
                str(rnd.randrange(5, 200)), str(rnd.randrange(20, 400)), str(rnd.randrange(20, 200)),
                f"{rnd.randrange(1, 999) / 100:.2f}".replace(".", ","), rnd.choice(UNITS),
                f"{rnd.randrange(100, 999999) / 100:.2f}".replace(".", ","),
                f"{rnd.randrange(10**6, 10**7)}", rnd.choice(COMMENTS),
            ]))
    # Equivalence section: ordinary lines first, then "=" lines.
    for i in range(eqv_lines):
        target = blocks[rnd.randrange(groups)]
        if i < eqv_lines // 3:
            text = f"Se även {descs[blocks.index(target)]}"[:40]
            rows.append(pad([target, "", text] + [""] * (len(FIELDS) - 3)))
        else:
            code = PREFIX + "I" + rnd.choice(CODE_CHARS) + rnd.choice(CODE_CHARS) + rnd.choice("123456789")
            rows.append(pad([code, "", "=" + target] + [""] * (len(FIELDS) - 3)))
    assert len(rows) == lines, len(rows)

    os.makedirs(outdir, exist_ok=True)
    with open(os.path.join(outdir, "bench.tds"), "wb") as f:
        f.write("".join(r + "\r\n" for r in rows).encode("cp1252"))
    with open(os.path.join(outdir, "bench.tdx"), "wb") as f:
        f.write("".join(f"{n},{d},{w}\r\n" for n, d, w in FIELDS).encode("cp1252"))
    with open(os.path.join(outdir, "bench_group.txt"), "w", encoding="ascii") as f:
        f.write(blocks[big] + "\n")
    print(f"large group: {blocks[big]} ({big_size} articles)")


def read_tdx(path):
    fields = []
    with open(path, encoding="cp1252", newline="") as f:
        for line in f.read().split("\r\n"):
            if line.strip():
                fields.append((line.split(",", 1)[0], int(line.rsplit(",", 1)[1])))
    return fields


def to_csv(tds, tdx, outdir):
    fields = read_tdx(tdx)
    offsets = []
    pos = 0
    for _, w in fields:
        offsets.append((pos, pos + w))
        pos += w
    os.makedirs(outdir, exist_ok=True)
    opts = dict(newline="", encoding="utf-8")
    with open(tds, encoding="cp1252", newline="") as src, \
            open(os.path.join(outdir, "articles.csv"), "w", **opts) as fa, \
            open(os.path.join(outdir, "eqv.csv"), "w", **opts) as fe, \
            open(os.path.join(outdir, "designations.csv"), "w", **opts) as fd:
        wa, we, wd = (csv.writer(x, lineterminator="\n") for x in (fa, fe, fd))
        in_eqv = False
        seen = set()
        for rad, line in enumerate(src.read().split("\r\n")):
            if not line:
                continue
            values = [line[a:b].strip() for a, b in offsets]
            if not in_eqv and not values[1]:
                in_eqv = True
            if in_eqv:
                we.writerow([rad] + values)
            else:
                wa.writerow([rad] + values)
                if values[0] not in seen:
                    seen.add(values[0])
                    wd.writerow([values[0], values[2]])

    def table(name):
        cols = ['"RAD" INTEGER'] + [f'"{n}" VARCHAR({w})' for n, w in fields]
        return f'CREATE TABLE "{name}" ({", ".join(cols)});\n'

    def indexes(name):
        return "".join(f'CREATE INDEX "{name}_{n}" ON "{name}" ("{n}");\n'
                       for n in ["RAD"] + [n for n, _ in fields])

    with open(os.path.join(outdir, "schema.sql"), "w", encoding="utf-8") as f:
        f.write(table("Articles") + table("Eqv"))
        f.write('CREATE TABLE "Designations" ("BL_NAME" VARCHAR(50), "DESCRIPTION" VARCHAR(50));\n')
    with open(os.path.join(outdir, "indexes.sql"), "w", encoding="utf-8") as f:
        f.write(indexes("Articles") + indexes("Eqv"))
        f.write('CREATE INDEX "Designations_BL_NAME" ON "Designations" ("BL_NAME");\n')
        f.write('CREATE INDEX "Designations_DESCRIPTION" ON "Designations" ("DESCRIPTION");\n')


def main():
    p = argparse.ArgumentParser()
    sub = p.add_subparsers(dest="cmd", required=True)
    g = sub.add_parser("generate")
    g.add_argument("outdir")
    g.add_argument("--lines", type=int, default=200000)
    g.add_argument("--seed", type=int, default=4711)
    c = sub.add_parser("to-csv")
    c.add_argument("tds")
    c.add_argument("tdx")
    c.add_argument("outdir")
    a = p.parse_args()
    if a.cmd == "generate":
        generate(a.outdir, a.lines, a.seed)
    else:
        to_csv(a.tds, a.tdx, a.outdir)


if __name__ == "__main__":
    sys.exit(main())
