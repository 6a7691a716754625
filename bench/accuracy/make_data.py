#!/usr/bin/python3
"""Builds the accuracy benchmark's sequence set from Debian packages and the bundled sample.

The Pfam seed alignments (Stockholm) and MSF alignments shipped by hmmer-examples and
emboss-test are found with `dpkg -L`; each alignment is one family; gaps are stripped. The
bundled data/Sample.txt adds its four families (each header's second word). Families of the same
name from several files are merged, identical sequences are kept once (a sequence found in two
families is dropped), and families with fewer than MIN_SEQUENCES sequences are left out.

usage: /usr/bin/python3 bench/accuracy/make_data.py OUT_DIR
writes OUT_DIR/all.fa (">ID FAMILY"), OUT_DIR/sequences.tsv (id, family, source, original name)
and OUT_DIR/sources.tsv (each alignment read: file, family, sequences, kept or why not).
"""
import gzip
import os
import re
import subprocess
import sys
from collections import Counter, defaultdict

PACKAGES = ["hmmer-examples", "emboss-test"]
ALIGNMENT = re.compile(r"\.(sto|sth|stk|msf)(\.gz)?$")
MIN_SEQUENCES = 10
# An alignment whose median ungapped length is below this is a test fixture, not a domain.
MIN_MEDIAN_LENGTH = 30
# Names that different files give to one family.
ALIASES = {"rrm_1": "rrm", "globins": "globin", "globins4": "globin", "globins50": "globin"}
ROOT = os.path.normpath(os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", ".."))
SAMPLE = "data/Sample.txt"


def packaged_alignments():
    """The alignment files that the packages ship, in a stable order."""
    listing = subprocess.run(["dpkg", "-L"] + PACKAGES, check=True, capture_output=True, text=True).stdout
    return sorted({path for path in listing.split() if ALIGNMENT.search(path) and os.path.isfile(path)})


def open_text(path):
    return gzip.open(path, "rt", errors="replace") if path.endswith(".gz") else open(path, errors="replace")


def file_family(path):
    name = os.path.basename(path)
    return ALIGNMENT.sub("", name)


def read_stockholm(path):
    """Yields (family, [(name, aligned residues)]) for each alignment of a Stockholm file."""
    family, rows = None, {}
    with open_text(path) as lines:
        for line in lines:
            if line.startswith("#=GF ID"):
                family = line.split()[2]
            elif line.startswith("//"):
                if rows:
                    yield family or file_family(path), list(rows.items())
                family, rows = None, {}
            elif line.strip() and not line.startswith("#"):
                words = line.split()
                if len(words) >= 2:
                    rows[words[0]] = rows.get(words[0], "") + words[1]
    if rows:
        yield family or file_family(path), list(rows.items())


def read_msf(path):
    """Yields the one (family, [(name, aligned residues)]) of an MSF file: blocks after '//'."""
    rows, names, in_blocks = {}, set(), False
    with open_text(path) as lines:
        for line in lines:
            words = line.split()
            if not in_blocks:
                if words[:1] == ["Name:"]:
                    names.add(words[1])
                in_blocks = line.startswith("//")
            elif words and words[0] in names:
                rows[words[0]] = rows.get(words[0], "") + "".join(words[1:])
    yield file_family(path), list(rows.items())


def read_alignments(path):
    reader = read_msf if ".msf" in path else read_stockholm
    for family, rows in reader(path):
        yield family, [(name, re.sub(r"[^A-Za-z]", "", aligned).upper()) for name, aligned in rows]


def read_sample(path):
    """Yields (family, [(name, residues)]) for each family of the bundled sample."""
    families, name = defaultdict(list), None
    with open(path) as lines:
        for line in lines:
            if line.startswith(">"):
                words = line[1:].split()
                name, family = words[0], words[1]
                families[family].append([name, ""])
            elif name is not None:
                families[family][-1][1] += re.sub(r"[^A-Za-z]", "", line).upper()
    for family, rows in families.items():
        yield family, [tuple(row) for row in rows]


def is_protein(sequences):
    residues = "".join(sequences)
    nucleotides = sum(residues.count(c) for c in "ACGTUN")
    return bool(residues) and nucleotides < 0.9 * len(residues)


def median_length(sequences):
    lengths = sorted(len(s) for s in sequences)
    return lengths[len(lengths) // 2]


def collect(sources):
    """Reads every source; returns the kept (family, source, name, residues) and a log."""
    records, log = [], []
    for path, alignments in sources:
        for family, rows in alignments:
            family = ALIASES.get(family.lower(), family.lower())
            sequences = [s for _, s in rows]
            if not is_protein(sequences):
                why = "nucleotides"
            elif median_length(sequences) < MIN_MEDIAN_LENGTH:
                why = f"median length {median_length(sequences)} < {MIN_MEDIAN_LENGTH}"
            else:
                why = "read"
                records += [(family, path, name, s) for name, s in rows if s]
            log.append((path, family, len(rows), why))
    return records, log


def deduplicate(records):
    """Keeps each residue string once; drops one that two families share; drops small families."""
    families_of = defaultdict(set)
    for family, _, _, residues in records:
        families_of[residues].add(family)
    seen, kept = set(), []
    for record in records:
        residues = record[3]
        if len(families_of[residues]) == 1 and residues not in seen:
            seen.add(residues)
            kept.append(record)
    sizes = Counter(family for family, *_ in kept)
    return [r for r in kept if sizes[r[0]] >= MIN_SEQUENCES]


def write_set(out_dir, records, log):
    os.makedirs(out_dir, exist_ok=True)
    records = sorted(records, key=lambda r: r[0])
    with open(os.path.join(out_dir, "all.fa"), "w") as fasta, \
            open(os.path.join(out_dir, "sequences.tsv"), "w") as table:
        table.write("id\tfamily\tsource\tname\n")
        for number, (family, source, name, residues) in enumerate(records, 1):
            seq_id = f"s{number:05d}"
            fasta.write(f">{seq_id} {family}\n")
            fasta.writelines(residues[i:i + 60] + "\n" for i in range(0, len(residues), 60))
            table.write(f"{seq_id}\t{family}\t{source}\t{name}\n")
    kept = Counter(family for family, *_ in records)
    with open(os.path.join(out_dir, "sources.tsv"), "w") as table:
        table.write("source\tfamily\tsequences\tread\tfamily kept (sequences after merging)\n")
        for path, family, count, why in log:
            table.write(f"{path}\t{family}\t{count}\t{why}\t{kept.get(family, 'no')}\n")
    return kept


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_data.py OUT_DIR")
    sources = [(path, list(read_alignments(path))) for path in packaged_alignments()]
    sources.append((SAMPLE, list(read_sample(os.path.join(ROOT, SAMPLE)))))
    records, log = collect(sources)
    kept = write_set(sys.argv[1], deduplicate(records), log)
    print(f"{sum(kept.values())} sequences in {len(kept)} families written to {sys.argv[1]}/all.fa")
    for family, count in sorted(kept.items()):
        print(f"  {family}: {count}")


if __name__ == "__main__":
    main()
