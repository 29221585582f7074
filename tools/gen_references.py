# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The tarsil authors
"""The reference data of the rule set: `references.txt`, how files name a
license without quoting it.  Imported by tools/gen_rules, which writes it
beside licenses.d.

Sources:
  * the SPDX license list as the npm package spdx-license-list publishes it
    (CC0-1.0): each license's full name and its reference URL;
  * the npm package spdx-correct (Apache-2.0), pinned below with the packages
    it runs on: its corrections of loose names ("Apache 2", "GPLv2+", "New
    BSD License") to SPDX ids.  Its index.js is run with node at generation
    time on the names its own tables and the SPDX ids suggest; tarsil itself
    never runs it;
  * tools/wordings/names.txt, hand-written names and URLs admitted by the
    evidence rule of tools/wordings/README.md.

File format (see src/analysis/references.h): one entry a line,
KIND <TAB> PATTERN <TAB> VALUE; lines starting with '#' and blank lines are
skipped.  Kinds:
  name     PATTERN is a license's name as words ("MIT License", "BSD
           3-Clause License"); VALUE the SPDX id or expression it names.
  alias    the same for a loose name or abbreviation ("GPLv2+", "New BSD").
  family   PATTERN names a versioned license family ("GNU General Public
           License", "Apache License"); VALUE its id stem ("GPL", "Apache").
           A version after the name picks the name or alias "<stem>
           <version>" ("gpl 2 +" for "version 2 or later").
  any      PATTERN is a family's id stem, VALUE the license a file naming the
           family without a version may be taken under (the GNU licenses
           let any version be chosen: "GPL" -> GPL-1.0-or-later).
  url      PATTERN a normalized URL (no scheme, no "www.", lower case, no
           trailing "/", ".html", ".htm", ".txt", ".php", "-standalone");
           VALUE the license it points to.
  idurl    PATTERN a normalized URL prefix whose next path component is an
           SPDX id ("spdx.org/licenses"); VALUE "-".
Patterns are compared as keys (key() below, the same in C++): lower-case
tokens of letters, of digits with dots, or '+'; trailing ".0"s dropped from
numbers; "v"/"version" before a number dropped; "or later" (and its
synonyms) written "+".  The generator writes each key once and sorted.
"""

import json
import os
import re
import shutil
import subprocess
import tarfile
import tempfile

# spdx-correct and what it runs on, pinned: spdx-correct's index.js requires
# spdx-expression-parse and spdx-license-ids; spdx-expression-parse requires
# spdx-exceptions too.
CORRECT_PACKAGES = [
    ("spdx-correct", "3.2.0", "Apache-2.0"),
    ("spdx-expression-parse", "3.0.1", "MIT"),
    ("spdx-license-ids", "3.0.24", "CC0-1.0"),
    ("spdx-exceptions", "2.5.0", "CC-BY-3.0"),
]

# A letter run ending in "v" right before a digit ends before the "v":
# "gplv2" is "gpl v 2".
_TOKEN = re.compile(r"[a-z]+?(?=v[0-9])|[a-z]+|[0-9]+(?:\.[0-9]+)*|\+")
_LATER = [("or", "any", "later", "version"), ("or", "any", "later"), ("or", "later", "version"),
          ("or", "later"), ("or", "newer"), ("or", "higher"), ("or", "greater"), ("and", "later")]
_VERSION_WORDS = {"v", "version", "ver", "vers"}


def key(text):
    """The comparison key of a name (see the module docstring)."""
    toks = []
    for t in _TOKEN.findall(text.lower()):
        if t[0].isdigit():
            parts = t.split(".")
            while len(parts) > 1 and parts[-1].strip("0") == "":
                parts.pop()
            t = ".".join(str(int(p)) if p.isdigit() and len(p) < 6 else p for p in parts)
        toks.append(t)
    out = []
    i = 0
    while i < len(toks):
        t = toks[i]
        if t in _VERSION_WORDS and i + 1 < len(toks) and toks[i + 1][0].isdigit():
            i += 1
            continue
        for seq in _LATER:
            if tuple(toks[i:i + len(seq)]) == seq:
                out.append("+")
                i += len(seq)
                break
        else:
            out.append(t)
            i += 1
    return " ".join(out)


def versions_of(k):
    return [t for t in k.split() if t[0].isdigit()]


def _same_versions(name_key, id_key):
    """True when the id names every number of the name, and the name every
    version of the id (a number before "clause" being no version)."""
    toks = id_key.split()
    versions = {t for i, t in enumerate(toks)
                if t[0].isdigit() and (i + 1 >= len(toks) or toks[i + 1] != "clause")}
    return set(versions_of(name_key)) <= set(versions_of(id_key)) and \
        versions <= set(versions_of(name_key))


# An SPDX id of a versioned family: stem, version, optional -only/-or-later.
_VERSIONED_ID = re.compile(r"^([A-Za-z][A-Za-z0-9-]*?)-(\d+(?:\.\d+)*)(-only|-or-later)?$")
# An SPDX name of a versioned family: name stem, version, then maybe "only",
# "or later" and a region word.
_VERSIONED_NAME = re.compile(
    r"^(.*?)[ ,]+(?:v|v\.|version )?(\d+(?:\.\d+)*)( only| or later)?"
    r"(?: International| Unported| Generic)?$")
# The GNU families, whose licenses let a file that names no version be used
# under any version the FSF published: the earliest one, "or later".
GNU_ANY = {"GPL": "GPL-1.0-or-later", "LGPL": "LGPL-2.0-or-later", "AGPL": "AGPL-3.0-or-later",
           "GFDL": "GFDL-1.1-or-later"}
LICENSE_WORDS = {"license", "licence", "licensed", "licenced"}


def current_id(lid, known, deprecated):
    """The id to report for `lid`: deprecated GNU ids as their -only /
    -or-later forms; other deprecated ids are never reported (None)."""
    if lid not in deprecated:
        return lid if lid in known else None
    if lid.endswith("+") and lid[:-1] + "-or-later" in known:
        return lid[:-1] + "-or-later"
    if lid + "-only" in known:
        return lid + "-only"
    return None


def normalize_url(url):
    """The URL as tarsil compares it (see src/analysis/license_url.h)."""
    u = url.strip()
    while True:
        again = _normalize_once(u)
        if again == u:
            return u
        u = again


def _normalize_once(url):
    u = url.lower()
    u = re.sub(r"^[a-z]+://", "", u)
    u = u.split("#")[0]
    if u.startswith("www."):
        u = u[4:]
    changed = True
    while changed:
        changed = False
        for suffix in ("/", ".html", ".htm", ".txt", ".php", "-standalone"):
            if u.endswith(suffix):
                u = u[:-len(suffix)]
                changed = True
        stripped = re.sub(r"/(legalcode|deed)(\.[a-z_-]+)?$", "", u)
        if stripped != u:
            u = stripped
            changed = True
    return u


def fetch_correct(package_dir, log):
    """Unpack the CORRECT_PACKAGES tarballs (from `package_dir` when given,
    else `npm pack`) into a temporary node_modules; returns its parent."""
    tmp = tempfile.mkdtemp(prefix="spdx-correct-")
    mods = os.path.join(tmp, "node_modules")
    os.makedirs(mods)
    for name, version, lic in CORRECT_PACKAGES:
        tgz = None
        if package_dir:
            tgz = os.path.join(package_dir, "{}-{}.tgz".format(name, version))
        else:
            subprocess.run(["npm", "pack", "{}@{}".format(name, version), "--silent",
                            "--pack-destination", tmp], check=True, stdout=subprocess.DEVNULL)
            tgz = os.path.join(tmp, "{}-{}.tgz".format(name, version))
        dest = os.path.join(mods, name)
        with tarfile.open(tgz) as tf:
            meta = json.load(tf.extractfile("package/package.json"))
            if meta["version"] != version or meta.get("license") != lic:
                raise SystemExit("expected {} {} ({}), got {} ({})".format(
                    name, version, lic, meta["version"], meta.get("license")))
            for m in tf.getmembers():
                if not m.isfile() or not m.name.startswith("package/"):
                    continue
                path = os.path.join(dest, m.name[len("package/"):])
                os.makedirs(os.path.dirname(path), exist_ok=True)
                with open(path, "wb") as fh:
                    fh.write(tf.extractfile(m).read())
    log("spdx-correct: {}".format(", ".join("{} {}".format(n, v) for n, v, _ in CORRECT_PACKAGES)))
    return tmp


# Runs spdx-correct's module on every name read from standard input (a JSON
# list) and prints, for each, [strict, any]: the correction its exact steps
# give (the id as it stands, without "+", its transforms, its
# transpositions), and the one its substring guesses ("last resorts") give
# when those fail; null where there is none.  The module's own exports give
# `any`; `strict` runs the same steps without the guesses, by evaluating its
# source with the internal functions exported.
_NODE = r"""
const fs = require('fs'), path = require('path'), Module = require('module');
const file = require.resolve('spdx-correct');
const src = fs.readFileSync(file, 'utf8') + `
module.exports.__strict = function (id) {
  id = id.trim()
  if (valid(id)) return id
  var noPlus = id.replace(/[+]$/, '').trim()
  if (valid(noPlus)) return noPlus
  var t = validTransformation(id)
  if (t !== null) return t
  return anyCorrection(id, function (a) { return valid(a) ? a : validTransformation(a) })
}`;
const m = new Module(file, module);
m.filename = file;
m.paths = Module._nodeModulePaths(path.dirname(file));
m._compile(src, file);
const correct = m.exports;
const names = JSON.parse(fs.readFileSync(0, 'utf8'));
const out = names.map(n => {
  let strict = null, any = null;
  try { strict = correct.__strict(n) } catch (e) {}
  try { any = correct(n, {upgrade: false}) } catch (e) {}
  return [strict, any];
});
process.stdout.write(JSON.stringify(out));
"""


def run_correct(root, names):
    res = subprocess.run(["node", "-e", _NODE], input=json.dumps(names).encode(), check=True,
                         stdout=subprocess.PIPE, cwd=root, env=dict(os.environ, NODE_PATH=""))
    return json.loads(res.stdout)


_BSD_WORDS = []  # filled by _correct_pairs from spdx-correct's BSD transforms


def _correct_pairs(root):
    """The pairs of spdx-correct's own tables, read from its source: its
    transpositions (loose word -> word) and its last resorts (substring ->
    id)."""
    with open(os.path.join(root, "node_modules", "spdx-correct", "index.js"), encoding="utf-8") as fh:
        src = fh.read()
    _BSD_WORDS[:] = sorted(set(re.findall(r"\\b\(?([A-Za-z|]+)\)?\(-\| \)\?BSD", src)))
    return sorted(set(re.findall(r"\[\s*'([^']+)',\s*'([^']*)'\s*\]", src)))


FORMS = ("{w} {v}", "{w}v{v}", "{w}-{v}")
PLUSES = ("", "+", " or later")


def candidates(ids, families, pairs):
    """Loose names to ask spdx-correct about, as {name: key}: every id and
    its words; every family stem, and every loose word of spdx-correct's
    tables that stands for one, with each of the family's versions in the
    forms of FORMS and PLUSES ("GPLv2", "GPL 2+", "GPL-2.0 or later"); the
    words of its tables alone and followed by "License"."""
    out = set()
    for lid in ids:
        out.add(lid)
        out.add(lid.replace("-", " "))
    # The N-clause licenses ("BSD3", "3-clause BSD") and the BSD words of
    # spdx-correct's transforms ("New BSD", "Simplified BSD").
    for lid in ids:
        m = re.match(r"^([A-Za-z]+)-(\d)-Clause$", lid)
        if m:
            stem, n = m.groups()
            for form in ("{s}{n}", "{s} {n}", "{s}-{n}", "{n}-clause {s}", "{n} clause {s}",
                         "{s} {n}-clause", "{s} {n} clause license", "{s} license {n}-clause"):
                out.add(form.format(s=stem, n=n))
    for alternatives in _BSD_WORDS:
        for w in alternatives.split("|"):
            for form in ("{w} BSD", "{w}BSD", "{w} BSD License", "{w}-BSD"):
                out.add(form.format(w=w))
    words = {s: {s} for s in families}  # word -> the id stems it may stand for
    for loose, right in pairs:
        m = _VERSIONED_ID.match(right)
        stem = m.group(1) if m else right
        if stem in families:
            words.setdefault(loose, set()).add(stem)
        out.add(loose)
        out.add(loose + " License")
    for w, fams in sorted(words.items()):
        for variant in {w, w.replace("-", " ")}:
            out.add(variant)
            for stem in sorted(fams):
                for v in families[stem]:
                    for form in FORMS:
                        base = form.format(w=variant, v=v)
                        for plus in PLUSES:
                            out.add(base + plus)
    return sorted(out)


def build_references(data, ids, deprecated, canonical_of, extra, log, correct_dir=None):
    """The lines of references.txt (without the header): `data` is the
    spdx-license-list data, `ids` every id with a license directory,
    `canonical_of` the id that holds each text, `extra` the hand-written
    (kind, pattern, value) entries."""
    known = set(ids)
    entries = {}  # (kind, key) -> value; None when ambiguous

    def add(kind, pattern, value, why):
        k = key(pattern) if kind not in ("url", "idurl") else normalize_url(pattern)
        if not k or value is None:
            return
        slot = (kind, k)
        if slot in entries and entries[slot] != value:
            if entries[slot] is not None:
                log("references: {} {!r} is ambiguous ({} / {}, {}): left out".format(
                    kind, k, entries[slot], value, why))
            entries[slot] = None
            return
        entries[slot] = value

    def report(lid):
        cur = current_id(lid, known, deprecated)
        return canonical_of.get(cur, cur) if cur and not cur.endswith("-or-later") else cur

    # 1. Families: id stems with their versions, and the name stems of their
    #    SPDX names.
    families = {}
    for lid in ids:
        m = _VERSIONED_ID.match(lid)
        if m and lid not in deprecated:
            families.setdefault(m.group(1), set()).add(m.group(2))
    families = {s: sorted(v) for s, v in families.items()}
    stems = {}
    for lid in ids:
        m = _VERSIONED_ID.match(lid)
        if not m or lid in deprecated or lid not in data:
            continue
        n = _VERSIONED_NAME.match(data[lid]["name"])
        if n and key(n.group(2)) == key(m.group(2)):
            stems.setdefault(key(n.group(1)), set()).add(m.group(1))
    for s in sorted(families):
        stems.setdefault(key(s), set()).add(s)
    for name_stem, id_stems in sorted(stems.items()):
        if len(id_stems) == 1 and len(name_stem.split()) > 0:
            add("family", name_stem, sorted(id_stems)[0], "SPDX name")
    for s, lid in GNU_ANY.items():
        if lid in known:
            add("any", s, lid, "GNU")
    # Every version of a family as a name: "<stem> <version>", with "+" and
    # "only" where the list has them.
    for lid in ids:
        m = _VERSIONED_ID.match(lid)
        if not m or lid in deprecated:
            continue
        stem, ver, suffix = m.groups()
        base = stem + " " + ver
        rep = report(lid)
        if suffix == "-or-later":
            add("name", base + "+", rep, "id")
        elif suffix == "-only":
            add("name", base + " only", rep, "id")
            add("name", base, rep, "id")
        else:
            add("name", base, rep, "id")
    # 2. Names: every current id as words, every full name.
    for lid in ids:
        if lid in deprecated or lid not in data:
            continue
        rep = report(lid)
        add("name", lid, rep, "id")
        add("name", data[lid]["name"], rep, "SPDX name")
    # 3. Aliases from spdx-correct.
    root = fetch_correct(correct_dir, log)
    try:
        names = candidates(sorted(i for i in ids if i not in deprecated), families,
                           _correct_pairs(root))
        results = run_correct(root, names)
    finally:
        shutil.rmtree(root)
    taken = 0
    for name, (strict, anyway) in zip(names, results):
        got = strict if strict is not None else anyway
        if got is None:
            continue
        rep = _expression_ids(got, known, deprecated, report)
        if rep is None:
            continue
        # A correction must not invent a version, nor drop one: "GPL" is no
        # GPL-3.0, "GNU Lesser General Public License" no LGPL-2.1 (a
        # clause count is no version: "New BSD" is BSD-3-Clause).
        if not _same_versions(key(name), key(got)):
            continue
        # A guess (a last resort) must name every number it gives: "BSD" is
        # no BSD-2-Clause.
        if strict is None and versions_of(key(name)) != versions_of(key(got)):
            continue
        if "+" in key(name).split() and "+" not in got and "-or-later" not in rep:
            continue
        if key(name) in ("", ):
            continue
        add("alias", name, rep, "spdx-correct")
        taken += 1
    # 4. URLs: each license's reference URL, the rule set's canonical id for
    #    a URL several ids share (GPL-2.0-only for GPL-2.0-or-later's), none
    #    for one that names unrelated licenses.
    by_url = {}
    for lid in ids:
        if lid in data and data[lid].get("url"):
            by_url.setdefault(normalize_url(data[lid]["url"]), set()).add(lid)
    for url, lids in sorted(by_url.items()):
        reps = {report(l) for l in lids} - {None}
        # A URL names a version; "or later" is a choice a notice makes.
        if len(reps) == 2 and len({re.sub(r"-(only|or-later)$", "", r) for r in reps}) == 1:
            reps = {r for r in reps if not r.endswith("-or-later")}
        if len(reps) == 1:
            rep = reps.pop()
            add("url", url, rep, "SPDX url")
            # GNU pages: old licenses are served under /licenses/ too.
            if "gnu.org/licenses/old-licenses/" in url:
                add("url", url.replace("/old-licenses/", "/"), rep, "SPDX url")
            # creativecommons: the deed and the legal code name the same.
        elif len({r.split("-")[0] for r in reps}) > 1:
            log("references: url {} names {}: left out".format(url, ", ".join(sorted(reps))))
    # GNU pages without a version: the family, any version.
    for s, lid in GNU_ANY.items():
        if lid in known and ("url", "gnu.org/licenses/" + s.lower()) not in entries:
            add("url", "gnu.org/licenses/" + s.lower(), lid, "GNU")
    for prefix in ("spdx.org/licenses", "opensource.org/licenses", "opensource.org/license",
                   "choosealicense.com/licenses"):
        add("idurl", prefix, "-", "id pages")
    for kind, pattern, value in extra:
        add(kind, pattern, value, "tools/wordings")
    lines = []
    for (kind, k), value in sorted(entries.items()):
        if kind == "alias" and entries.get(("name", k)) is not None:
            continue  # the name says it
        if value is not None:
            lines.append("{}\t{}\t{}".format(kind, k, value))
    log("references: {} entries ({} spdx-correct answers taken of {} names)".format(
        len(lines), taken, len(names)))
    return lines


def _expression_ids(expr, known, deprecated, report):
    """`expr` (an SPDX id or expression from spdx-correct) with every id as
    the rule set reports it; None when an id is not reportable."""
    out = []
    for tok in re.findall(r"\(|\)|[^\s()]+", expr):
        if tok.upper() in ("AND", "OR", "WITH", "(", ")"):
            out.append(tok.upper() if tok not in "()" else tok)
            continue
        plus = tok.endswith("+")
        lid = tok
        if plus and tok not in known:
            lid = tok[:-1]
            if lid + "-or-later" in known:
                lid = lid + "-or-later"
                plus = False
        rep = report(lid)
        if rep is None:
            return None
        out.append(rep + ("+" if plus and not rep.endswith("-or-later") else ""))
    return " ".join(out).replace("( ", "(").replace(" )", ")")


def load_extra(path):
    """(kind, pattern, value) from a wordings file: KIND<TAB>PATTERN<TAB>VALUE,
    '#' lines being the evidence comments."""
    out = []
    if not os.path.exists(path):
        return out
    with open(path, encoding="utf-8") as fh:
        for line in fh:
            line = line.rstrip("\n")
            if not line.strip() or line.startswith("#"):
                continue
            kind, pattern, value = line.split("\t")
            out.append((kind, pattern, value))
    return out


def header(data_version):
    return [
        "# tarsil reference data: how a file names a license without quoting it.",
        "# Generated by tools/gen_rules from spdx-license-list {} (CC0-1.0),".format(data_version),
        "# spdx-correct {} (Apache-2.0) and tools/wordings/names.txt.".format(CORRECT_PACKAGES[0][1]),
        "# One entry a line: KIND<TAB>PATTERN<TAB>VALUE; kinds name, alias, family, any, url,",
        "# idurl (see tools/gen_references.py and src/analysis/references.h).",
    ]
