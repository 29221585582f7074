# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The tarsil authors
"""Real-world corpus: downloads, DEP-5 truth, license-text predicates, layout.

Shared by bench/realworld/run (score tarsil and licensecheck on the corpus)
and bench/realworld/build_corpus (choose packages and write packages.tsv and
truth.tsv).  Python 3 standard library only; the downloads go through apt-get
(a private configuration with deb-src and deb entries, kept in the cache, so
the system's apt state is left alone), dpkg-source, dpkg-deb and npm.

Cache layout (default /work/cache/realworld, never inside the repository):
  apt/                      private apt configuration, lists and cache
  downloads/debian/         .dsc, orig and debian tarballs as apt-get fetched them
  downloads/debian-bin/     binary .deb files (unpacked with dpkg-deb -x, never installed)
  downloads/npm/            npm tarballs
  corpus/<half>/<package>/<path>   the kept files, one tree per half
  multi/<half>/...          the main corpus's multi-license files (multi-truth.tsv)
  references/<half>/...     the references sub-corpus (references-truth.tsv)

The extra lists (written by build_extra) have the columns of packages.tsv and
truth.tsv; their truth may be an SPDX expression ("MIT OR Apache-2.0").  Their
evidence filters are here: shows_all (a multi-license truth in a file with
license text or notices), texts_shown (a license file quoting several declared
licenses) and names_reference (a license named by name, URL or field only).
"""

import fnmatch
import hashlib
import json
import os
import re
import shutil
import subprocess
import sys
import tarfile
import tempfile
import urllib.parse

HERE = os.path.dirname(os.path.abspath(__file__))
REPO = os.path.dirname(os.path.dirname(HERE))
PACKAGES_TSV = os.path.join(HERE, "packages.tsv")
TRUTH_TSV = os.path.join(HERE, "truth.tsv")
DEFAULT_CACHE = "/work/cache/realworld"
READ_BYTES = 10000  # all tarsil reads of a file
HALVES = ("tune", "check")


def log(*args):
    print(*args, file=sys.stderr, flush=True)


def sha1_head(data):
    return hashlib.sha1(data[:READ_BYTES]).hexdigest()


def half_of(package):
    """Deterministic split by package name: tune or check."""
    return HALVES[hashlib.sha1(package.encode()).digest()[0] & 1]


def pkg_dir(package):
    """Directory name of a package in the corpus (npm scopes lose their slash)."""
    return package.replace("/", "+")


# ---------------------------------------------------------------- reserved packages

def reserved_packages():
    names = set()
    for path in (os.path.join(REPO, "..", "shared", "reserved-packages.txt"),
                 "/work/shared/reserved-packages.txt"):
        if os.path.exists(path):
            with open(path) as f:
                for line in f:
                    line = line.strip()
                    if line and not line.startswith("#"):
                        names.add(line.split()[0])
            break
    else:
        sys.exit("reserved-packages.txt not found: refusing to download anything")
    return names


# ---------------------------------------------------------------- apt (private configuration)

def apt_env(cache):
    """Private apt configuration under <cache>/apt with deb-src entries; made on first use."""
    root = os.path.join(cache, "apt")
    conf = os.path.join(root, "apt.conf")
    if not os.path.exists(conf):
        for d in ("etc/sources.list.d", "etc/preferences.d", "lists/partial",
                  "cache/archives/partial"):
            os.makedirs(os.path.join(root, d), exist_ok=True)
        open(os.path.join(root, "etc/sources.list"), "w").close()
        parts = "/etc/apt/sources.list.d"
        out = []
        for name in sorted(os.listdir(parts)):
            if name.endswith(".sources"):
                with open(os.path.join(parts, name)) as f:
                    text = f.read()
                for stanza in re.split(r"\n\s*\n", text):
                    if re.search(r"^URIs:.*debian", stanza, re.M) and re.search(r"^Types:.*\bdeb\b", stanza, re.M):
                        out.append(re.sub(r"^Types:.*$", "Types: deb-src deb", stanza.strip(), flags=re.M))
        if not out:
            out.append("Types: deb-src deb\nURIs: http://deb.debian.org/debian\nSuites: bookworm\n"
                       "Components: main\nSigned-By: /usr/share/keyrings/debian-archive-keyring.gpg")
        with open(os.path.join(root, "etc/sources.list.d/debian.sources"), "w") as f:
            f.write("\n\n".join(out) + "\n")
        with open(conf + ".tmp", "w") as f:
            f.write(f'Dir::Etc::SourceList "{root}/etc/sources.list";\n'
                    f'Dir::Etc::SourceParts "{root}/etc/sources.list.d";\n'
                    f'Dir::Etc::Preferences "{root}/etc/preferences";\n'
                    f'Dir::Etc::PreferencesParts "{root}/etc/preferences.d";\n'
                    f'Dir::State::Lists "{root}/lists";\n'
                    f'Dir::Cache "{root}/cache";\n'
                    f'Dir::Cache::archives "{root}/cache/archives";\n'
                    'APT::Architectures { "amd64"; };\n')
        os.rename(conf + ".tmp", conf)
    env = dict(os.environ, APT_CONFIG=conf, LC_ALL="C")
    lists = os.path.join(root, "lists")
    if not any(n.endswith(("Sources", "Sources.lz4", "Sources.xz", "Sources.gz")) for n in os.listdir(lists)):
        log("apt-get update (private deb-src lists)")
        subprocess.run(["apt-get", "update", "-q"], env=env, stdout=subprocess.DEVNULL, check=False)
    return env


def _index_paras(cache, pattern):
    env = apt_env(cache)
    lists = os.path.join(cache, "apt", "lists")
    names = [n for n in os.listdir(lists) if re.search(pattern, n)]
    if not names:
        sys.exit("no index matching " + pattern + " in " + lists)
    text = subprocess.run(["/usr/lib/apt/apt-helper", "cat-file", os.path.join(lists, names[0])],
                          env=env, capture_output=True, check=True).stdout.decode("utf-8", "replace")
    for para in text.split("\n\n"):
        fields = {}
        key = None
        for line in para.split("\n"):
            if line[:1] in (" ", "\t") and key:
                fields[key] += "\n" + line.strip()
            elif ":" in line:
                key, _, val = line.partition(":")
                fields[key] = val.strip()
        if fields.get("Package"):
            yield fields


def packages_index(cache):
    """bookworm main amd64 Packages index: {binary: {version, source, size (KiB), arch}}."""
    index = {}
    for f in _index_paras(cache, r"_dists_bookworm_main_binary-amd64_Packages(\.\w+)?$"):
        name = f["Package"]
        if name in index:
            continue
        index[name] = {"version": f.get("Version", ""), "source": f.get("Source", name).split()[0],
                       "size": int(f.get("Installed-Size", "0") or 0), "arch": f.get("Architecture", "")}
    return index


def installed_packages():
    """Binary and source names of the packages installed on this machine."""
    r = subprocess.run(["dpkg-query", "-W", "-f", "${Package} ${source:Package}\n"],
                       capture_output=True, text=True, check=False)
    return set(r.stdout.split())


def deb_path(cache, name, version):
    """The downloaded .deb of name=version, or None."""
    d = os.path.join(cache, "downloads", "debian-bin")
    if not os.path.isdir(d):
        return None
    want = {version, strip_epoch(version)}
    for f in sorted(os.listdir(d)):
        parts = f.split("_")
        if f.endswith(".deb") and len(parts) == 3 and parts[0] == name and \
                urllib.parse.unquote(parts[1]) in want:
            return os.path.join(d, f)
    return None


def fetch_binary(cache, pairs):
    """Download the binary packages [(name, version)] not yet cached; returns {name: ok}."""
    out = os.path.join(cache, "downloads", "debian-bin")
    os.makedirs(out, exist_ok=True)
    todo = [f"{n}={v}" for n, v in pairs if not deb_path(cache, n, v)]
    if todo:
        subprocess.run(["apt-get", "download", "-q"] + todo, cwd=out, env=apt_env(cache),
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
        for n, v in pairs:  # one failure aborts the batch: retry the rest one by one
            if not deb_path(cache, n, v):
                subprocess.run(["apt-get", "download", "-q", f"{n}={v}"], cwd=out, env=apt_env(cache),
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return {n: deb_path(cache, n, v) is not None for n, v in pairs}


def extract_binary(cache, name, version, workdir):
    """Unpack a downloaded binary package (its files, not installed); returns the tree or None."""
    deb = deb_path(cache, name, version)
    dest = os.path.join(workdir, "src")
    if not deb:
        return None
    os.makedirs(dest)
    r = subprocess.run(["dpkg-deb", "-x", deb, dest], stdout=subprocess.DEVNULL,
                       stderr=subprocess.DEVNULL, check=False)
    return dest if r.returncode == 0 else None


def sources_index(cache):
    """bookworm main Sources index: {package: {version, format, size, binaries}} (first entry wins)."""
    index = {}
    for fields in _index_paras(cache, r"_dists_bookworm_main_source_Sources(\.\w+)?$"):
        name = fields["Package"]
        if name in index:
            continue
        size = 0
        for line in fields.get("Files", "").split("\n"):
            parts = line.split()
            if len(parts) == 3:
                size += int(parts[1])
        index[name] = {"version": fields.get("Version", ""), "format": fields.get("Format", ""),
                       "size": size, "binaries": fields.get("Binary", ""),
                       "build_depends": fields.get("Build-Depends", "")}
    return index


def strip_epoch(version):
    return version.split(":", 1)[1] if ":" in version else version


def dsc_path(cache, package, version):
    return os.path.join(cache, "downloads", "debian", f"{package}_{strip_epoch(version)}.dsc")


def dsc_complete(dsc):
    """True when the .dsc and every file it lists are present."""
    if not os.path.exists(dsc):
        return False
    with open(dsc, errors="replace") as f:
        text = f.read()
    m = re.search(r"^Files:\n((?: .*\n?)+)", text, re.M)
    if not m:
        return False
    d = os.path.dirname(dsc)
    for line in m.group(1).split("\n"):
        parts = line.split()
        if len(parts) == 3 and not os.path.exists(os.path.join(d, parts[2])):
            return False
    return True


def fetch_debian(cache, pairs, reserved):
    """Download the source packages [(name, version)] not yet cached; returns {name: ok}."""
    out = os.path.join(cache, "downloads", "debian")
    os.makedirs(out, exist_ok=True)
    todo = []
    for name, version in pairs:
        if name in reserved:
            raise SystemExit(f"refusing reserved package {name}")
        if not dsc_complete(dsc_path(cache, name, version)):
            todo.append(f"{name}={version}")
    if todo:
        env = apt_env(cache)
        subprocess.run(["apt-get", "source", "--download-only", "-q"] + todo, cwd=out, env=env,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return {name: dsc_complete(dsc_path(cache, name, version)) for name, version in pairs}


def extract_debian(cache, name, version, workdir):
    """Unpack a downloaded source package (patches not applied); returns the tree or None."""
    dest = os.path.join(workdir, "src")
    r = subprocess.run(["dpkg-source", "--no-check", "--skip-patches", "-x",
                        dsc_path(cache, name, version), dest],
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL, check=False)
    return dest if r.returncode == 0 and os.path.isdir(dest) else None


def fetch_npm(cache, name, version):
    """npm pack name@version into the cache; returns the tarball path or None."""
    out = os.path.join(cache, "downloads", "npm")
    os.makedirs(out, exist_ok=True)
    base = name.lstrip("@").replace("/", "-")
    path = os.path.join(out, f"{base}-{version}.tgz")
    if not os.path.exists(path):
        spec = f"{name}@{version}" if version else name
        r = subprocess.run(["npm", "pack", "--silent", "--pack-destination", out, spec],
                           capture_output=True, text=True, check=False)
        if r.returncode != 0:
            return None
        made = r.stdout.strip().split("\n")[-1].strip()
        if not version and made:
            return os.path.join(out, made) if os.path.exists(os.path.join(out, made)) else None
    return path if os.path.exists(path) else None


def extract_npm(tgz, workdir):
    """Unpack an npm tarball; returns (tree, package.json dict) or (None, None)."""
    dest = os.path.join(workdir, "src")
    os.makedirs(dest)
    try:
        with tarfile.open(tgz) as tf:
            members = [m for m in tf.getmembers() if m.isfile()]
            for m in members:
                parts = m.name.split("/")[1:]
                if not parts or any(p in ("", ".", "..") for p in parts):
                    continue
                target = os.path.join(dest, *parts)
                os.makedirs(os.path.dirname(target), exist_ok=True)
                with tf.extractfile(m) as src, open(target, "wb") as dst:
                    shutil.copyfileobj(src, dst)
        with open(os.path.join(dest, "package.json"), encoding="utf-8") as f:
            return dest, json.load(f)
    except (OSError, tarfile.TarError, ValueError):
        return None, None


# ---------------------------------------------------------------- license names

def rule_ids(rules):
    try:
        return {n.lower(): n for n in os.listdir(os.path.join(rules, "licenses.d"))}
    except OSError:
        return {}


DEBIAN_NAMES = {
    "expat": "MIT", "mit": "MIT", "mit/x11": "MIT",
    "bsd-2": "BSD-2-Clause", "bsd-3": "BSD-3-Clause", "bsd-4": "BSD-4-Clause",
    "bsd-2-clause": "BSD-2-Clause", "bsd-3-clause": "BSD-3-Clause", "bsd-4-clause": "BSD-4-Clause",
    "bsd-2-clause-freebsd": "BSD-2-Clause", "bsd-2-clause-netbsd": "BSD-2-Clause",
    "apache-2": "Apache-2.0", "apache-2.0": "Apache-2.0", "apache-1.1": "Apache-1.1",
    "apache-1.0": "Apache-1.0", "apache": "Apache-2.0",
    "bsl-1.0": "BSL-1.0", "bsl": "BSL-1.0", "boost-1.0": "BSL-1.0", "boost": "BSL-1.0",
    "zlib": "Zlib", "isc": "ISC", "ftl": "FTL", "freetype": "FTL",
    "mpl-1.0": "MPL-1.0", "mpl-1.1": "MPL-1.1", "mpl-2.0": "MPL-2.0", "mpl-2": "MPL-2.0",
    "artistic-2.0": "Artistic-2.0", "artistic-2": "Artistic-2.0",
    "epl-1.0": "EPL-1.0", "epl-2.0": "EPL-2.0", "cddl-1.0": "CDDL-1.0", "cddl-1.1": "CDDL-1.1",
    "cc0": "CC0-1.0", "cc0-1.0": "CC0-1.0", "unlicense": "Unlicense", "wtfpl": "WTFPL",
    "wtfpl-2": "WTFPL", "0bsd": "0BSD", "psf-2": "PSF-2.0", "psf-2.0": "PSF-2.0",
    "python-2.0": "Python-2.0", "ofl-1.1": "OFL-1.1", "sil-ofl-1.1": "OFL-1.1", "x11": "X11",
    "mit-0": "MIT-0", "curl": "curl", "libpng": "Libpng", "ijg": "IJG", "openssl": "OpenSSL",
    "php-3.01": "PHP-3.01", "php-3.0": "PHP-3.0", "ruby": "Ruby", "ncsa": "NCSA",
    "unicode-dfs-2016": "Unicode-DFS-2016", "tcl": "TCL", "sleepycat": "Sleepycat",
    "ms-pl": "MS-PL", "zpl-2.1": "ZPL-2.1", "zpl-2.0": "ZPL-2.0", "w3c": "W3C", "vim": "Vim",
    "lppl-1.3c": "LPPL-1.3c", "hpnd": "HPND", "ecl-2.0": "ECL-2.0", "osl-3.0": "OSL-3.0",
    "afl-2.1": "AFL-2.1", "afl-3.0": "AFL-3.0", "cpl-1.0": "CPL-1.0", "ipl-1.0": "IPL-1.0",
    "cc-by-3.0": "CC-BY-3.0", "cc-by-4.0": "CC-BY-4.0", "cc-by-sa-3.0": "CC-BY-SA-3.0",
    "cc-by-sa-4.0": "CC-BY-SA-4.0", "eupl-1.1": "EUPL-1.1", "eupl-1.2": "EUPL-1.2",
    "bzip2-1.0.6": "bzip2-1.0.6", "json": "JSON", "beerware": "Beerware", "qpl-1.0": "QPL-1.0",
    "unicode-3.0": "Unicode-3.0", "bsd-1-clause": "BSD-1-Clause", "upl-1.0": "UPL-1.0",
    "postgresql": "PostgreSQL", "blueoak-1.0.0": "BlueOak-1.0.0", "mulanpsl-2.0": "MulanPSL-2.0",
}

GNU_NAME = re.compile(r"^(a|l)?gpl-?v?(\d)(?:\.(\d))?(\+|-only|-or-later)?$", re.I)


def spdx_of(name, ids):
    """One SPDX id for a DEP-5 short name or a package.json license, or None."""
    name = name.strip()
    low = name.lower()
    if not name or re.search(r"\s|,|\(|\)", name) or low.startswith(("licenseref", "see ")):
        return None
    m = GNU_NAME.match(low)
    if m:
        kind, major, minor, suffix = m.groups()
        kind = (kind or "").upper()
        if kind == "L" and major == "2" and minor is None:
            minor = "0"
        ver = f"{major}.{minor or '0'}"
        base = f"{kind}GPL-{ver}"
        if base.lower() not in ids:
            return None
        return base + ("-or-later" if suffix in ("+", "-or-later") else "-only")
    if low in DEBIAN_NAMES:
        return DEBIAN_NAMES[low]
    if low in ids and not low.endswith("+"):
        return ids[low]
    return None


# ---------------------------------------------------------------- does the text carry the license?

def norm(text):
    return " " + re.sub(r"[^a-z0-9]+", " ", text.lower()) + " "


def family(lid):
    return re.sub(r"(-only|-or-later|\+)$", "", lid or "")


GPL_INSTEAD = re.compile(r" use the gnu (lesser|library) general public license instead")
NAMED = [
    # (family, pattern on normalized text)
    ("AGPL", r" affero general public license | agpl ?v?\d"),
    ("LGPL", r" (lesser|library) general public license | lgpl ?v?\d| lgpl "),
    ("GPL", r" gnu general public license | gnu gpl | gplv?\d "),
    ("Apache", r" apache license | apache software license | apache 2 0 | apache v2 "),
    ("MIT", r" permission is hereby granted free of charge | mit license | mit licensed | licensed under the mit | expat license "),
    ("BSD", r" redistribution and use in source and binary forms "),
    ("BSL", r" boost software license "),
    ("MPL", r" mozilla public license "),
    ("EPL", r" eclipse public license "),
    ("Artistic", r" artistic license "),
    ("ISC", r" isc license | permission to use copy modify and or distribute this software for any purpose "),
    ("Zlib", r" altered source versions must be plainly marked as such "),
    ("CDDL", r" common development and distribution license "),
    ("FTL", r" freetype license | freetype project license | ftl txt "),
    # the OFL holds MIT's "permission is hereby granted, free of charge"
    ("OFL", r" sil open font license "),
]
NAMED = [(f, re.compile(p)) for f, p in NAMED]


def _versions(t, after):
    """Version numbers written after a phrase: 'version 2', 'v2.1', '2.0'."""
    out = set()
    for m in re.finditer(after + r"(?: version| v)? (\d)(?: (\d))?", t):
        out.add(m.group(1) + ("." + m.group(2) if m.group(2) else ""))
    return out


def _gnu_ok(t, kind, truth):
    """GNU license family: named in the text with a version agreeing with the truth."""
    m = re.match(r"(A|L)?GPL-(\d)\.(\d)", truth)
    major, minor = m.group(2), m.group(3)
    if kind == "AGPL":
        if not re.search(r" affero general public license | agpl", t):
            return False
    elif kind == "LGPL":
        if not re.search(r" (lesser|library) general public license | lgpl", t):
            return False
    else:
        if not re.search(r" gnu general public license | gnu gpl | general public license | gplv?\d", t):
            return False
        if re.search(r" (lesser|library) general public license | lgpl", GPL_INSTEAD.sub(" ", t)):
            return False
    # versions written in the text: "version 2", "version 2.1", "v3", "gplv2", "lgpl-2.1"
    # (only near a mention of the license: "--version 2>&1" in a script is no version)
    if " special exception " in t or " autoconf exception " in t:
        return False
    vers = set()
    for name in re.finditer(r" general public license | (?:a|l)?gpl", t):
        window = t[max(0, name.start() - 120): name.end() + 200]
        for m2 in re.finditer(r" version (\d)(?: (\d))?(?= )| (?:a|l)?gpl ?v?(\d)(?: (\d))?(?= )", window):
            a = m2.group(1) or m2.group(3)
            b = m2.group(2) if m2.group(1) else m2.group(4)
            vers.add((a, b))
    majors = {a for a, _ in vers}
    if major not in majors:
        return False
    if kind == "LGPL":
        # 2.0 (Library) and 2.1 (Lesser) are told apart by the minor number
        minors = {b for a, b in vers if a == major}
        if major == "2":
            want = minor if minor != "0" else None
            if want == "1" and "1" not in minors:
                return False
            if want is None and "1" in minors and " library general public license " not in t:
                return False
    if kind == "GPL" and len(majors & {"1", "2", "3"}) > 1 and major == "3":
        # a GPL-3 truth with text naming version 2 as well: ambiguous
        return " version 2 " not in t.replace(" version 2 of the gnu general public license ", " ")
    return True


def names_license(text, truth, allow=()):
    """True when the text visibly names or quotes the truth license (and names no other family).

    allow: NAMED families the text may name besides the truth's own (the other
    licenses of a multi-license truth, see shows_all); empty for one license."""
    t = norm(text)
    fam = family(truth)
    # an SPDX tag settles it, either way
    tags = re.findall(r"spdx-license-identifier:\s*([A-Za-z0-9.+-]+)", text, re.I)
    if tags:
        return all(family(tag.rstrip("+")).lower().replace(".0", "") ==
                   fam.lower().replace(".0", "") for tag in tags)
    named = {f for f, p in NAMED if p.search(t)} - set(allow)
    if fam.startswith(("GPL", "LGPL", "AGPL")):
        kind = fam.split("-")[0]
        others = named - {"GPL", "LGPL", "AGPL"}
        if kind in ("LGPL", "AGPL"):
            pass
        return not others and _gnu_ok(t, kind, truth)
    own = None
    ok = False
    if fam == "MIT":
        # X11 (the holder's advertising clause), the Khronos "Materials" text, MITNFA
        # (the clause on bug reporting addresses) and NCSA are licenses of their own,
        # though DEP-5 files and package metadata often call them MIT or Expat
        own, ok = "MIT", ("MIT" in named and "BSD" not in named
                          and " except as contained in this notice the name of " not in t
                          and " the materials " not in t
                          and " bug reporting email addresses " not in t
                          and not re.search(r" (illinois|ncsa) open source license ", t))
    elif fam.startswith("BSD"):
        own = "BSD"
        if "BSD" in named:
            endorse = re.search(r" (endorse|promote) ", t) is not None
            advert = " advertising materials " in t
            n = {"BSD-2-Clause": (False, False), "BSD-3-Clause": (True, False),
                 "BSD-4-Clause": (True, True)}.get(fam)
            ok = n is not None and (endorse, advert) == n
            # BSD-2-Clause-Views is a license of its own, though DEP-5 files call it BSD-2-clause
            ok = ok and " views and conclusions " not in t
        else:
            ok = (fam == "BSD-3-Clause" and re.search(r" (bsd 3 clause|3 clause bsd|new bsd|modified bsd|revised bsd) ", t)) \
                or (fam == "BSD-2-Clause" and re.search(r" (bsd 2 clause|2 clause bsd|simplified bsd|freebsd license) ", t))
            ok = bool(ok)
    elif fam.startswith("Apache"):
        own = "Apache"
        ver = fam.split("-")[1]
        ok = "Apache" in named and re.search(r" apache (software )?(license )?(version |v)?" +
                                              ver.replace(".", " ") + " ", t) is not None
        if not ok and ver == "2.0":
            ok = re.search(r" apache (software )?license( |,)*version 2 0 | apache license 2 0 | licenses license 2 0 ", t) is not None
    elif fam == "BSL-1.0":
        own, ok = "BSL", "BSL" in named
    elif fam.startswith("MPL"):
        own = "MPL"
        ok = "MPL" in named and fam.split("-")[1].replace(".", " ") in " ".join(
            m.group(1) for m in re.finditer(r" mozilla public license (?:version |v)?(\d \d)", t))
    elif fam.startswith("EPL"):
        own = "EPL"
        ok = "EPL" in named and fam.split("-")[1].replace(".", " ") in " ".join(
            m.group(1) for m in re.finditer(r" eclipse public license (?:version |v|)?(\d \d)", t))
    elif fam == "Artistic-2.0":
        own = "Artistic"
        ok = re.search(r" artistic license (version )?2 0 ", t) is not None
    elif fam == "ISC":
        own, ok = "ISC", "ISC" in named
    elif fam == "Zlib":
        own, ok = "Zlib", "Zlib" in named or " zlib license " in t
    elif fam.startswith("CDDL"):
        own, ok = "CDDL", "CDDL" in named and " version " + fam[-3:].replace(".", " ") + " " in t
    elif fam == "FTL":
        own, ok = "FTL", "FTL" in named
    else:
        pats = {
            "CC0-1.0": r" cc0 | creative commons zero ",
            "Unlicense": r" this is free and unencumbered software released into the public domain | unlicense ",
            "WTFPL": r" do what the fuck you want ",
            "0BSD": r" permission to use copy modify and or distribute this software for any purpose with or without fee is hereby granted ",
            "PSF-2.0": r" python software foundation license ",
            "Python-2.0": r" python software foundation license ",
            "OFL-1.1": r" sil open font license ",
            "X11": r" x consortium ",
            "FSFAP": r" copying and distribution of this file with or without modification are permitted in any medium without royalty provided the copyright notice and this notice are preserved ",
            "FSFULLR": r" gives unlimited permission to copy and or distribute it with or without modifications as long as this notice is preserved ",
            "FSFUL": r" gives unlimited permission to copy distribute and modify it ",
            "wxWindows": r" wxwindows (library )?licen[cs]e ",
            "libtiff": r" permission to use copy modify distribute and sell this software and its documentation for any purpose is hereby granted without fee provided that i the above copyright notices ",
            "HPND-sell-variant": r" permission to use copy modify distribute and sell this software and its documentation for any purpose is hereby granted without fee provided that the above copyright notice appear",
            "Artistic-1.0": r" the artistic license ",
            "OLDAP-2.8": r" openldap public license ",
            "APSL-2.0": r" apple public source license ",
            "CECILL-B": r" cecill b ",
            "CECILL-C": r" cecill c ",
            "CPL-1.0": r" common public license ",
            "TU-Berlin-2.0": r" technische universitaet berlin | technische universit t berlin ",
            "MIT-open-group": r" the open group ",
            "GFDL-1.2": r" gnu free documentation license version 1 2 ",
            "GFDL-1.3": r" gnu free documentation license version 1 3 ",
            "MIT-0": r" permission is hereby granted free of charge ",
            "Ruby": r" ruby s license | the ruby license | same license as ruby | same terms as ruby ",
            "Libpng": r" libpng license ",
            "curl": r" curl license ",
            "IJG": r" independent jpeg group ",
            "OpenSSL": r" openssl license ",
            "NCSA": r" university of illinois open source license | ncsa open source license ",
            "Unicode-DFS-2016": r" unicode data files and software ",
            "Unicode-3.0": r" unicode license v3 ",
            "TCL": r" the authors hereby grant permission to use copy modify distribute ",
            "Sleepycat": r" sleepycat ",
            "MS-PL": r" microsoft public license ",
            "ZPL-2.1": r" zope public license version 2 1 ",
            "W3C": r" w3c software notice and license ",
            "Vim": r" vim license ",
            "HPND": r" permission to use copy modify and distribute this software and its documentation for any purpose ",
            "PHP-3.01": r" php license version 3 01 ",
            "ECL-2.0": r" educational community license version 2 0 ",
            "OSL-3.0": r" open software license version 3 0 ",
            "AFL-3.0": r" academic free license version 3 0 ",
            "CC-BY-4.0": r" creative commons attribution 4 0 ",
            "CC-BY-3.0": r" creative commons attribution 3 0 ",
            "CC-BY-SA-4.0": r" creative commons attribution sharealike 4 0 ",
            "CC-BY-SA-3.0": r" creative commons attribution sharealike 3 0 ",
            "EUPL-1.2": r" european union public licen[cs]e v(ersion )?1 2 ",
            "EUPL-1.1": r" european union public licen[cs]e v(ersion )?1 1 ",
            "UPL-1.0": r" universal permissive license ",
            "PostgreSQL": r" postgresql license ",
            "BlueOak-1.0.0": r" blue oak model license ",
            "MulanPSL-2.0": r" mulan permissive software license v2 ",
            "Beerware": r" beer ware license | buy me a beer ",
            "BSD-1-Clause": r" redistribution and use in source and binary forms ",
        }
        p = pats.get(truth)
        ok = p is not None and re.search(p, t) is not None
        if truth == "MIT-0":
            ok = ok and " this permission notice shall be included " not in t
        # these texts are told by their own wording; the permissive grants they share
        # with MIT and ISC ("Permission is hereby granted, free of charge") do not count
        own = {"BSD-1-Clause": "BSD", "Artistic-1.0": "Artistic", "OLDAP-2.8": "BSD",
               "OFL-1.1": "OFL"}.get(truth, "MIT")
        if not ok:
            return False
        return not (named - {own, "MIT", "ISC"})
    if not ok:
        return False
    others = named - {own}
    return not others


# ---------------------------------------------------------------- kind and language

LICENSE_NAME = re.compile(r"^(licen[cs]e|copying|copyright|unlicense|mit-license|ofl|"
                          r"apache-license|gpl|lgpl)([-_.][\w.-]*)?$", re.I)
EXT = {
    ".c": "C", ".h": "C",
    ".cc": "C++", ".cpp": "C++", ".cxx": "C++", ".hpp": "C++", ".hh": "C++", ".hxx": "C++",
    ".c++": "C++", ".h++": "C++", ".ipp": "C++", ".tcc": "C++", ".inl": "C++",
    ".py": "Python", ".pyx": "Python", ".pxd": "Python", ".pyi": "Python",
    ".js": "JavaScript", ".mjs": "JavaScript", ".cjs": "JavaScript", ".jsx": "JavaScript",
    ".ts": "JavaScript", ".tsx": "JavaScript", ".mts": "JavaScript", ".cts": "JavaScript",
    ".go": "Go", ".rs": "Rust", ".java": "Java",
    ".pl": "Perl", ".pm": "Perl", ".t": "Perl", ".xs": "Perl",
    ".rb": "Ruby", ".rake": "Ruby", ".gemspec": "Ruby",
    ".sh": "shell", ".bash": "shell", ".zsh": "shell", ".ksh": "shell",
    ".css": "other", ".scss": "other", ".less": "other", ".html": "other", ".htm": "other",
    ".xml": "other", ".m4": "other", ".cmake": "other", ".php": "other", ".lua": "other",
    ".scala": "other", ".kt": "other", ".cs": "other", ".swift": "other", ".tcl": "other",
    ".el": "other", ".hs": "other", ".ml": "other", ".mli": "other", ".y": "other",
    ".l": "other", ".s": "other", ".S": "other", ".asm": "other", ".sql": "other",
    ".vim": "other", ".groovy": "other", ".m": "other", ".mm": "other", ".proto": "other",
    ".am": "other", ".mk": "other", ".vue": "other", ".svelte": "other", ".coffee": "other",
    ".erl": "other", ".ex": "other", ".exs": "other", ".clj": "other", ".dart": "other",
    ".f90": "other", ".f": "other", ".r": "other", ".R": "other", ".jl": "other",
}
SHEBANG = [("python", "Python"), ("perl", "Perl"), ("ruby", "Ruby"), ("node", "JavaScript"),
           ("bash", "shell"), ("/sh", "shell"), (" sh", "shell"), ("zsh", "shell")]


def classify(relpath, head):
    """(kind, language) for a file: kind license/header, or None when it is neither."""
    base = os.path.basename(relpath)
    ext = os.path.splitext(base)[1]
    if (LICENSE_NAME.match(base) or "/licenses/" in "/" + relpath.lower()) \
            and ext.lower() not in EXT and ext.lower() not in (".html", ".json", ".yml", ".yaml"):
        return "license", "text"
    lang = EXT.get(ext) or EXT.get(ext.lower())
    if lang is None and head.startswith(b"#!"):
        first = head.split(b"\n", 1)[0].decode("latin-1")
        for key, name in SHEBANG:
            if key in first:
                lang = name
                break
    if lang is None:
        return None, None
    return "header", lang


NO_LICENSE_WORDS = re.compile(
    rb"licen[cs]|copyright|\(c\)|\xc2\xa9|spdx|gpl|warrant|permission|redistribut|public.domain|"
    rb"free software|\bmit\b|\bbsd\b|apache|mozilla|creative.commons|all rights|unlicense|"
    rb"distribut|patent|terms of|granted|liabil|disclaim|proprietary|trademark|author", re.I)


# ---------------------------------------------------------------- DEP-5

def parse_dep5(text):
    """[(patterns, license short name)] of a machine-readable copyright file, or None."""
    paras = [p for p in re.split(r"\n[ \t]*\n", text.replace("\r\n", "\n")) if p.strip()]
    if not paras:
        return None
    head = paras[0]
    if not re.search(r"^Format(-Spec[a-z]*)?:.*(copyright-format|dep5|DEP-5)", head, re.M | re.I):
        return None
    out = []
    for para in paras[1:]:
        fields = {}
        key = None
        for line in para.split("\n"):
            if line.startswith("#"):
                continue
            if line[:1] in (" ", "\t") and key:
                fields[key] += "\n" + line.strip()
            elif ":" in line:
                key, _, val = line.partition(":")
                key = key.strip().lower()
                fields[key] = val.strip()
        if "files" in fields and "license" in fields:
            pats = fields["files"].split()
            lic = fields["license"].split("\n")[0].strip()
            out.append((pats, lic))
    return out


def glob_re(pattern):
    pattern = pattern[2:] if pattern.startswith("./") else pattern
    out = []
    i = 0
    while i < len(pattern):
        c = pattern[i]
        if c == "\\" and i + 1 < len(pattern):
            out.append(re.escape(pattern[i + 1]))
            i += 2
            continue
        out.append(".*" if c == "*" else "." if c == "?" else re.escape(c))
        i += 1
    return re.compile("".join(out) + r"(/.*)?\Z", re.S)


def dep5_truth(stanzas, ids):
    """Compiled stanzas: [(regexes, spdx id or None)]."""
    comp = []
    for pats, lic in stanzas:
        low = lic.lower()
        spdx = None
        if not re.search(r"\s(or|and|with)\s|,|\|", " " + low + " ") and low not in ("public-domain", "public domain"):
            spdx = spdx_of(lic, ids)
        comp.append(([glob_re(p) for p in pats], spdx))
    return comp


def single_license(comp, stanzas):
    """The one SPDX id every stanza outside debian/ names, or None (for binary packages,
    whose installed paths do not match the source tree's globs)."""
    ids = {spdx for (regs, spdx), (pats, _lic) in zip(comp, stanzas)
           if not all(p.startswith("debian/") for p in pats)}
    return ids.pop() if len(ids) == 1 and None not in ids else None


def suffix_truth(comp, relpath):
    """Truth for an installed path: the stanzas are matched against the path and each of
    its suffixes (usr/share/perl5/Foo/Bar.pm, share/perl5/Foo/Bar.pm, ..., Bar.pm); the
    longest suffix matched by a stanza other than a bare "*" decides, else "*" does."""
    parts = relpath.split("/")
    for k in range(len(parts)):
        suffix = "/".join(parts[k:])
        found = None
        for regs, spdx in comp:
            if any(r.pattern not in (".*(/.*)?\\Z",) and r.match(suffix) for r in regs):
                found = (spdx,)
        if found:
            return found[0]
    return truth_for(comp, relpath)


def truth_for(comp, relpath):
    """SPDX id of the last stanza whose Files: matches the path (None when none or unmapped)."""
    found = None
    for regs, spdx in comp:
        if any(r.match(relpath) for r in regs):
            found = (spdx,)
    return found[0] if found else None


# ---------------------------------------------------------------- reading package trees

def walk_files(tree):
    """Sorted relative paths of the regular files of a tree (debian/ and VCS dirs skipped)."""
    out = []
    for root, dirs, files in os.walk(tree):
        rel = os.path.relpath(root, tree)
        dirs[:] = sorted(d for d in dirs if not (rel == "." and d in ("debian", ".pc"))
                         and not (rel == "usr/share" and d in ("doc", "man", "info", "lintian"))
                         and d not in (".git", ".svn", ".hg", "node_modules"))
        for name in files:
            p = os.path.join(root, name)
            if os.path.isfile(p) and not os.path.islink(p):
                out.append(os.path.normpath(os.path.join(rel, name)))
    return sorted(out)


def read_head(path):
    try:
        with open(path, "rb") as f:
            return f.read(READ_BYTES)
    except OSError:
        return None


def spread(items, cap):
    """At most cap items, spread evenly over the sorted list (deterministic)."""
    if len(items) <= cap:
        return list(items)
    return [items[(i * len(items)) // cap] for i in range(cap)]


def select_files(tree, truth_of, seen, cap=40, none_cap=8, rivals=()):
    """Rows (path, sha1, kind, language, truth) kept from one package tree.

    truth_of(path) gives the SPDX id or None; seen is the set of sha1s already kept
    (content dedupe across packages, updated here)."""
    lic, hdr, none = [], [], []
    for rel in walk_files(tree):
        head = read_head(os.path.join(tree, rel))
        if not head or b"\0" in head:
            continue
        kind, lang = classify(rel, head)
        if kind is None:
            continue
        sha = sha1_head(head)
        if sha in seen:
            continue
        text = head.decode("utf-8", "replace")
        if kind == "header" and len(head) >= 200 and not NO_LICENSE_WORDS.search(head) \
                and sum(1 for _ in re.finditer(rb"\n", head)) >= 5:
            # no license wording anywhere in the file, not just in what tarsil reads
            # (a tool reading further must not be faulted for finding one)
            with open(os.path.join(tree, rel), "rb") as f:
                whole = f.read(4 << 20)
            if not NO_LICENSE_WORDS.search(whole) and len(whole) < (4 << 20):
                none.append((rel, sha, "none", lang, "none"))
            continue
        truth = truth_of(rel)
        if not truth or not names_license(text, truth):
            continue
        # the text must not also fit another license the package names
        if any(family(r) != family(truth) and names_license(text, r) for r in rivals):
            continue
        (lic if kind == "license" else hdr).append((rel, sha, kind, lang, truth))
    rows = lic[:cap]
    rows += spread(hdr, cap - len(rows))
    rows += spread(none, none_cap)
    out = []
    for row in rows:
        if row[1] not in seen:
            seen.add(row[1])
            out.append(row)
    return sorted(out)


# ---------------------------------------------------------------- tsv files

def read_tsv(path):
    if not os.path.exists(path):
        return []
    with open(path, encoding="utf-8") as f:
        lines = [ln.rstrip("\n").split("\t") for ln in f if ln.strip() and not ln.startswith("#")]
    return lines[1:] if lines and lines[0][0] in ("package", "half") else lines


def write_tsv(path, header, rows):
    with open(path + ".tmp", "w", encoding="utf-8") as f:
        f.write("\t".join(header) + "\n")
        for r in rows:
            f.write("\t".join(r) + "\n")
    os.rename(path + ".tmp", path)


PACKAGES_HEADER = ("package", "version", "origin", "half")
TRUTH_HEADER = ("half", "package", "path", "sha1", "kind", "language", "truth")


# ---------------------------------------------------------------- laying out the corpus

def unpack(cache, package, version, origin, workdir, reserved):
    """Source tree of a package in workdir (downloaded when missing), or None."""
    if origin == "debian":
        if package in reserved:
            raise SystemExit(f"refusing reserved package {package}")
        ok = fetch_debian(cache, [(package, version)], reserved)[package]
        return extract_debian(cache, package, version, workdir) if ok else None
    if origin == "debian-bin":
        ok = fetch_binary(cache, [(package, version)])[package]
        return extract_binary(cache, package, version, workdir) if ok else None
    tgz = fetch_npm(cache, package, version)
    return extract_npm(tgz, workdir)[0] if tgz else None


def lay_out(cache, packages, truth_rows, reserved, quiet=False, root="corpus"):
    """Make <cache>/<root>/<half>/<package>/<path> match the truth table.

    root is "corpus" for the main corpus, "multi" for its multi-license files and
    "references" for the references sub-corpus (each tree is scanned on its own).
    Returns a list of problems (missing packages, missing or changed files); never fails."""
    problems = []
    by_pkg = {}
    for row in truth_rows:
        by_pkg.setdefault(row[1], []).append(row)
    os.makedirs(cache, exist_ok=True)
    corpus = os.path.join(cache, root)
    wanted = set()
    todos = []
    for package, version, origin, half in packages:
        rows = by_pkg.get(package, [])
        todo = []
        for r in rows:
            dest = os.path.join(corpus, r[0], pkg_dir(package), r[2])
            wanted.add(dest)
            if read_head(dest) is None or sha1_head(read_head(dest)) != r[3]:
                todo.append((r, dest))
        if todo:
            todos.append((package, version, origin, todo))
    # Debian downloads go in batches: one apt-get run per package would make a
    # fresh cache take hours.  What a failed batch leaves out is fetched on its
    # own below, when its package is laid out.
    for origin, fetch in (("debian", lambda b: fetch_debian(cache, b, reserved)),
                          ("debian-bin", lambda b: fetch_binary(cache, b))):
        pairs = [(p, v) for p, v, o, _t in todos if o == origin and p not in reserved]
        for i in range(0, len(pairs), 100):
            if not quiet:
                log(f"  downloading {origin} packages {i + 1}-{min(i + 100, len(pairs))} of {len(pairs)}")
            fetch(pairs[i:i + 100])
    for package, version, origin, todo in todos:
        if not quiet:
            log(f"  {origin} {package} {version}: {len(todo)} files")
        with tempfile.TemporaryDirectory(dir=cache, prefix="unpack-") as work:
            tree = unpack(cache, package, version, origin, work, reserved)
            if tree is None:
                problems.append(f"{package} {version}: download or unpack failed ({len(todo)} files missing)")
                continue
            for r, dest in todo:
                head = read_head(os.path.join(tree, r[2]))
                if head is None:
                    problems.append(f"{package}/{r[2]}: missing from the package")
                    continue
                if sha1_head(head) != r[3]:
                    problems.append(f"{package}/{r[2]}: content changed (sha1 {sha1_head(head)})")
                    continue
                os.makedirs(os.path.dirname(dest), exist_ok=True)
                shutil.copyfile(os.path.join(tree, r[2]), dest)
    # files no longer in the truth table leave the corpus, so a half scans as listed
    for half in HALVES:
        top = os.path.join(corpus, half)
        for root, _dirs, files in os.walk(top, topdown=False):
            for name in files:
                p = os.path.join(root, name)
                if p not in wanted:
                    os.remove(p)
            if root != top and not os.listdir(root):
                os.rmdir(root)
    return problems


# ---------------------------------------------------------------- license expressions (multi-license truth)

REF_PACKAGES_TSV = os.path.join(HERE, "references-packages.tsv")
REF_TRUTH_TSV = os.path.join(HERE, "references-truth.tsv")
MULTI_PACKAGES_TSV = os.path.join(HERE, "multi-packages.tsv")
MULTI_TRUTH_TSV = os.path.join(HERE, "multi-truth.tsv")

EXPR_TOKEN = re.compile(r"\(|\)|[^\s()]+")
# Debian short names the one-license truth of the main corpus leaves unmapped, used in
# expressions and in the references sub-corpus ("Artistic or GPL-1+" is Perl's license)
EXPR_NAMES = {"artistic": "Artistic-1.0-Perl", "artistic-1": "Artistic-1.0-Perl",
              "artistic-1.0": "Artistic-1.0-Perl", "artistic-1.0-perl": "Artistic-1.0-Perl",
              "perl": None, "public-domain": None}


def expr_ids(expr):
    """The license ids of an SPDX expression in order, each once: operators, parentheses
    and the exception after WITH left out ("(MIT OR GPL-2.0+) AND Zlib": MIT, GPL-2.0+, Zlib)."""
    out = []
    skip = False
    for tok in EXPR_TOKEN.findall(expr or ""):
        up = tok.upper()
        if tok in ("(", ")") or up in ("AND", "OR", "AND/OR"):
            continue
        if up == "WITH":
            skip = True
            continue
        if skip:
            skip = False
            continue
        if tok not in out:
            out.append(tok)
    return out


def is_compound(expr):
    """True for a truth of several licenses (an expression with two ids or more)."""
    return len(expr_ids(expr)) > 1


def operand_spdx(name, ids):
    """SPDX id of one operand of a DEP-5 or package.json expression, or None."""
    low = name.strip().lower()
    if low in EXPR_NAMES:
        return EXPR_NAMES[low]
    return spdx_of(name, ids)


def dep5_expression(lic, ids):
    """SPDX expression of a DEP-5 License: short name, or None.

    One name ("GPL-2+"), or names joined by one operator ("MIT or GPL-2+",
    "BSD-3-clause and GPL-2"); commas, parentheses, WITH exceptions, mixed
    operators and names spdx_of does not know give None."""
    lic = lic.strip()
    if not lic or re.search(r"[,|()]", lic):
        return None
    parts = re.split(r"\s+(or|and)\s+", lic, flags=re.I)
    names, ops = parts[0::2], {o.upper() for o in parts[1::2]}
    if len(ops) > 1 or any(re.search(r"\s", n) for n in names):
        return None
    spdx = [operand_spdx(n, ids) for n in names]
    if None in spdx or len(set(spdx)) != len(spdx):
        return None
    return f" {ops.pop()} ".join(spdx) if ops else spdx[0]


def dep5_expr_truth(stanzas, ids):
    """Compiled stanzas [(regexes, SPDX expression or None)], as dep5_truth but with
    expressions kept (for truth_for, suffix_truth and single_license)."""
    return [([glob_re(p) for p in pats], dep5_expression(lic, ids)) for pats, lic in stanzas]


def spdx_expression(expr, ids):
    """A package.json license expression with its ids mapped by operand_spdx, outer
    parentheses dropped; None when an id is unknown, WITH is used or it does not parse."""
    out = []
    want_id = True
    depth = 0
    for tok in EXPR_TOKEN.findall(expr or ""):
        up = tok.upper()
        if tok == "(":
            if not want_id:
                return None
            depth += 1
            out.append("(")
        elif tok == ")":
            depth -= 1
            if want_id or depth < 0:
                return None
            out.append(")")
        elif up in ("AND", "OR"):
            if want_id:
                return None
            out.append(up)
            want_id = True
        else:
            s = operand_spdx(tok, ids) if up != "WITH" else None
            if not s or not want_id:
                return None
            out.append(s)
            want_id = False
    if want_id or depth:
        return None
    text = " ".join(out).replace("( ", "(").replace(" )", ")")
    while text.startswith("(") and text.endswith(")"):
        inner, level = text[1:-1], 0
        for c in inner:
            level += (c == "(") - (c == ")")
            if level < 0:
                break
        if level:
            break
        text = inner
    ids_ = expr_ids(text)
    return text if len(ids_) == len([t for t in EXPR_TOKEN.findall(text) if t not in ("(", ")", "AND", "OR")]) else None


def npm_expression(pj, ids):
    """The SPDX expression a package.json declares ("license", or the old "licenses"
    list, whose entries are alternatives), or None."""
    lic = pj.get("license")
    if isinstance(lic, dict):
        lic = lic.get("type")
    if isinstance(lic, str) and lic.strip():
        return spdx_expression(lic, ids)
    lics = pj.get("licenses")
    if isinstance(lics, dict):
        lics = [lics]
    if isinstance(lics, list) and lics:
        names = [x.get("type") if isinstance(x, dict) else x for x in lics]
        if all(isinstance(n, str) for n in names):
            spdx = [operand_spdx(n, ids) for n in names]
            if None not in spdx and len(set(spdx)) == len(spdx):
                return " OR ".join(spdx)
    return None


NAMED_OF = [("AGPL", "AGPL"), ("LGPL", "LGPL"), ("GPL", "GPL"), ("Apache", "Apache"), ("MIT", "MIT"),
            ("BSD", "BSD"), ("BSL", "BSL"), ("MPL", "MPL"), ("EPL", "EPL"), ("Artistic", "Artistic"),
            ("ISC", "ISC"), ("Zlib", "Zlib"), ("CDDL", "CDDL"), ("FTL", "FTL"), ("OFL", "OFL")]


def named_family(lid):
    """The NAMED family (names_license's) of an SPDX id, or None."""
    return next((f for prefix, f in NAMED_OF if lid.startswith(prefix)), None)


def _tag_family(lid):
    return family(lid.rstrip("+")).lower().replace(".0", "")


def shows_all(text, expr):
    """Evidence filter of a multi-license truth in a file with license text or notices.

    SPDX tags, when the file has any, must name exactly the truth's licenses (by
    family); otherwise names_license must hold for each license of the truth, the
    text being allowed to name the truth's other licenses (and no more)."""
    lids = expr_ids(expr)
    tags = re.findall(r"spdx-license-identifier:\s*([^\n]*)", text, re.I)
    if tags:
        got = set()
        for tag in tags:
            tag = re.split(r"\*/|-->|\"|'|;", tag)[0]
            got |= {_tag_family(i) for i in expr_ids(tag) if re.match(r"^[A-Za-z0-9][A-Za-z0-9.+-]*$", i)}
        return got == {_tag_family(i) for i in lids}
    for lid in lids:
        allow = {named_family(o) for o in lids if o != lid} - {None, named_family(lid)}
        if not names_license(text, lid, allow):
            return False
    return True


def texts_shown(text, declared):
    """For a license file: the ids among a package's declared licenses whose text or name
    it shows, when it shows two or more (of distinct families) and names nothing else
    (files quoting two license texts, e.g. BSD-3-Clause followed by GPL-2.0); else []."""
    declared = sorted(set(declared))
    if len(declared) < 2:
        return []
    every = {named_family(d) for d in declared} - {None}
    shown = [d for d in declared if names_license(text, d, every - {named_family(d)})]
    if len(shown) < 2 or len({family(d) for d in shown}) != len(shown):
        return []
    if not shows_all(text, " AND ".join(shown)):
        return []
    return shown


# ---------------------------------------------------------------- references (names, URLs, declared fields)

_LIC = r"licen[cs]e[sd]?"
_V = r",?\s*(?:version|ver\.?|v\.?)?\s*"     # between a license's name and its version
_TAIL = r"(?![\w+-]|\.\d)"
_HEAD = r"(?<![\w.+-])"


def _aliases(aliases):
    """A license's short names or ids [(name, case-sensitive)] where they read as one:
    after the word license on the same line ("@license MIT", "license = 'MIT'",
    "Licensed under the MIT"), before it ("BSD3 License"), or alone under a License
    heading ("## License\n\nMIT")."""
    if not aliases:
        return []
    alts = []
    for alias, case_sensitive in aliases:
        a = re.escape(alias).replace(r"\ ", r"[ -]")
        alts.append(f"(?-i:{a})" if case_sensitive else a)
    a = "(?:" + "|".join(alts) + ")"
    return [_LIC + r"\b[^\n]{0,60}?" + _HEAD + a + _TAIL,
            _HEAD + a + _TAIL + r"[ \t]*(?:public |software )?" + _LIC + r"\b",
            _LIC + r"[ \t]*:?[ \t]*\r?\n(?:[ \t#=*_~`>-]*\r?\n){0,3}[ \t#>*-]*" + _HEAD + a + _TAIL]


def _gnu_references():
    out = []
    longs = {"GPL": r"(?<!lesser )(?<!library )(?<!affero )(?:gnu )?general public licen[cs]e",
             "LGPL": r"(?:gnu )?(?:lesser|library)(?: gnu)? general public licen[cs]e",
             "AGPL": r"(?:gnu )?affero general public licen[cs]e"}
    shorts = {"GPL": r"(?<![a-z])gpl", "LGPL": r"(?<![a-z])lgpl", "AGPL": r"(?<![a-z])agpl"}
    vres = {"1": r"1(?:\.0)?(?!\.?\d)", "2": r"2(?:\.0)?(?!\.?\d)", "2.1": r"2\.1(?!\d)",
            "3": r"3(?:\.0)?(?!\.?\d)"}
    versions = {"GPL": ("1", "2", "3"), "LGPL": ("2", "2.1", "3"), "AGPL": ("1", "3")}
    for kind, vers in versions.items():
        long_, short = longs[kind], shorts[kind]
        for v in vers:
            fam = f"{kind}-{v if '.' in v else v + '.0'}"
            vre = vres[v]
            pats = [short + r"[- ]?v?\.?\s?" + vre,
                    short + r",?\s+(?:version|ver\.?)\s+" + vre,
                    long_ + r",?\s*(?:\((?:a|l)?gpl\)\s*)?" + _V + vre,
                    r"version\s+" + vre + r"(?:\s+or\s+(?:\(at your option\)\s+)?(?:any\s+)?later(?:\s+version)?)?"
                    r"\s+of\s+the\s+" + long_]
            if v == "3":
                pats.append(r"gnu\.org/licenses/" + kind.lower() + r"\.(?:html|txt)")
            if fam == "GPL-2.0":
                pats.append(r'module_license\(\s*"(?:gpl(?: v2)?|gpl and additional rights|dual (?:bsd|mpl)/gpl)"\s*\)')
            out.append(((fam,), True, False, [], pats))
        out.append((tuple(f"{kind}-{v if '.' in v else v + '.0'}" for v in vers), False, False,
                    [], [short + r"\b", long_]))
    out.append((("MIT", "GPL-2.0"), True, True, [], [r'module_license\(\s*"dual mit/gpl"\s*\)']))
    return out


BSD_ALL = ("BSD-1-Clause", "BSD-2-Clause", "BSD-3-Clause", "BSD-4-Clause", "0BSD", "BSD-2-Clause-Views",
           "BSD-3-Clause-Clear", "BSD-3-Clause-LBNL", "BSD-Source-Code")
# (families it may denote, specific, joint, short names near the word license, names and URLs)
#   specific: a name that tells one license (family); the others (an unversioned "GPL",
#   "BSD", "Apache License") only count against a truth they cannot be.
#   joint: one name for several licenses at once ("same terms as Perl itself": Artistic
#   or GPL-1+), evidence only when the truth holds them all.
REFERENCES = [
    (("MIT",), True, False, [("MIT", True), ("Expat", False)],
     [r"\bmit[- ]licen[cs]e", r"opensource\.org/licenses/mit\b", r"mit-license\.(?:org|php)", r"\bexpat licen[cs]e"]),
    (("MIT", "MIT-0"), False, False, [], [r"(?-i:\bMIT\b)"]),
    (("MIT-0",), True, False, [("MIT-0", False)], [r"\bmit no attribution"]),
    (("ISC",), True, False, [("ISC", True)], [r"\bisc licen[cs]e", r"opensource\.org/licenses/isc\b"]),
    (("0BSD",), True, False, [("0BSD", False)], [r"zero[- ]clause bsd", r"opensource\.org/licenses/0bsd"]),
    (("BSD-2-Clause",), True, False,
     [("BSD-2-Clause", False), ("BSD-2", False), ("BSD2", False), ("BSD 2-Clause", False), ("2-Clause BSD", False),
      ("Simplified BSD", False), ("BSD Simplified", False), ("BSD-2-Clause-FreeBSD", False)],
     [r"opensource\.org/licenses/bsd-2-clause", r"\b(?:2|two)[- ]clause bsd", r"\bbsd[- ](?:2|two)[- ]clause",
      r"simplified bsd licen[cs]e", r"freebsd licen[cs]e"]),
    (("BSD-3-Clause",), True, False,
     [("BSD-3-Clause", False), ("BSD-3", False), ("BSD3", False), ("BSD 3-Clause", False), ("3-Clause BSD", False),
      ("New BSD", False), ("Modified BSD", False), ("Revised BSD", False), ("BSD-new", False), ("BSD New", False)],
     [r"opensource\.org/licenses/bsd-3-clause", r"\b(?:3|three)[- ]clause bsd", r"\bbsd[- ](?:3|three)[- ]clause",
      r"\b(?:new|modified|revised) bsd licen[cs]e"]),
    (("BSD-4-Clause",), True, False, [("BSD-4-Clause", False), ("BSD-4", False), ("BSD4", False)],
     [r"\b(?:4|four)[- ]clause bsd", r"\bbsd[- ](?:4|four)[- ]clause", r"original bsd licen[cs]e"]),
    (BSD_ALL, False, False, [], [r"(?-i:\bBSD\b)", r"\bbsd[- ]?(?:style|like|type)?\s*licen[cs]e"]),
    (("Apache-2.0",), True, False,
     [("Apache-2.0", False), ("Apache-2", False), ("Apache 2.0", False), ("Apache 2", False), ("Apache2", False),
      ("Apache v2", False), ("Apache v2.0", False), ("ASL 2.0", False), ("ASL-2.0", False), ("ASL2", False),
      ("ASLv2", False), ("ALv2", True)],
     [r"apache (?:software |public )?licen[cs]e" + _V + r"2(?:\.0)?\b", r"apache\.org/licenses/license-2\.0"]),
    (("Apache-1.1",), True, False, [("Apache-1.1", False)],
     [r"apache (?:software )?licen[cs]e" + _V + r"1\.1", r"apache\.org/licenses/license-1\.1"]),
    (("Apache-1.0",), True, False, [("Apache-1.0", False)],
     [r"apache (?:software )?licen[cs]e" + _V + r"1(?:\.0)?(?!\.?[1-9])", r"apache\.org/licenses/license-1\.0"]),
    (("Apache-1.0", "Apache-1.1", "Apache-2.0"), False, False, [], [r"apache (?:software |public )?licen[cs]e"]),
    *_gnu_references(),
    (("MPL-2.0",), True, False, [],
     [r"(?<![a-z])mpl[- ]?v?\s?2(?:\.0)?(?!\.?\d)", r"mozilla public licen[cs]e" + _V + r"2(?:\.0)?(?!\.?\d)",
      r"mozilla\.org/mpl/2\.0"]),
    (("MPL-1.1",), True, False, [],
     [r"(?<![a-z])mpl[- ]?v?\s?1\.1", r"mozilla public licen[cs]e" + _V + r"1\.1", r"mozilla\.org/mpl/(?:mpl-)?1\.1"]),
    (("MPL-1.0",), True, False, [],
     [r"(?<![a-z])mpl[- ]?v?\s?1(?:\.0)?(?!\.?\d)", r"mozilla public licen[cs]e" + _V + r"1(?:\.0)?(?!\.?\d)"]),
    (("MPL-1.0", "MPL-1.1", "MPL-2.0"), False, False, [], [r"(?-i:\bMPL\b)", r"mozilla public licen[cs]e"]),
    (("EPL-1.0",), True, False, [],
     [r"(?<![a-z])epl[- ]?v?\s?1(?:\.0)?(?!\.?\d)", r"eclipse public licen[cs]e,?\s*(?:-\s*)?(?:version|v\.?)?\s*1(?:\.0)?(?!\.?\d)",
      r"eclipse\.org/(?:legal|org/documents)/epl-v10"]),
    (("EPL-2.0",), True, False, [],
     [r"(?<![a-z])epl[- ]?v?\s?2(?:\.0)?(?!\.?\d)", r"eclipse public licen[cs]e,?\s*(?:-\s*)?(?:version|v\.?)?\s*2(?:\.0)?(?!\.?\d)",
      r"eclipse\.org/legal/epl-(?:v)?2\.?0"]),
    (("EPL-1.0", "EPL-2.0"), False, False, [], [r"(?-i:\bEPL\b)", r"eclipse public licen[cs]e"]),
    (("CDDL-1.0",), True, False, [],
     [r"(?<![a-z])cddl[- ]?v?\s?1\.0", r"common development and distribution licen[cs]e,?\s*(?:\(cddl\),?\s*)?" + _V + r"1\.0"]),
    (("CDDL-1.1",), True, False, [],
     [r"(?<![a-z])cddl[- ]?v?\s?1\.1", r"common development and distribution licen[cs]e,?\s*(?:\(cddl\),?\s*)?" + _V + r"1\.1"]),
    (("CDDL-1.0", "CDDL-1.1"), False, False, [], [r"(?-i:\bCDDL\b)", r"common development and distribution licen[cs]e"]),
    (("BSL-1.0",), True, False, [("BSL-1.0", False)],
     [r"boost software licen[cs]e", r"boost\.org/license_1_0", r"\bboost licen[cs]e"]),
    (("Zlib",), True, False, [("Zlib", False)], [r"zlib(?:/libpng)? licen[cs]e", r"opensource\.org/licenses/zlib\b"]),
    (("Unlicense",), True, False, [], [r"\bunlicen[cs]e\b", r"unlicense\.org"]),
    (("CC0-1.0",), True, False, [], [r"\bcc0\b", r"creative commons zero", r"publicdomain/zero/1\.0"]),
    (("WTFPL",), True, False, [], [r"\bwtfpl\b", r"do what the f\W{0,2}\w{0,3} you want"]),
    (("Artistic-2.0",), True, False, [],
     [r"\bartistic[- ]2(?:\.0)?\b", r"\bartistic licen[cs]e" + _V + r"2(?:\.0)?\b", r"licenses/artistic-2\.0"]),
    (("Artistic-1.0-Perl", "Artistic-1.0"), True, False, [],
     [r"\bartistic licen[cs]e\b(?!" + _V + r"2)", r"\bartistic[- ]1(?:\.0)?\b"]),
    (("Artistic-1.0-Perl", "GPL-1.0"), True, True, [],
     [r"same (?:terms|licen[cs]e)s? as (?:the )?perl\b", r"terms of (?:the )?perl (?:5 )?itself", r"\bperl_5\b",
      _LIC + r"\W{0,6}perl\b(?!\s*(?:foundation|module|script|code|program))"]),
    (("Ruby",), True, False, [("Ruby", True)],
     [r"ruby'?s licen[cs]e", r"same (?:terms|licen[cs]e)s? as ruby\b", r"ruby-lang\.org/en/about/license"]),
    (("PSF-2.0", "Python-2.0"), True, False, [("PSF", True), ("PSF-2.0", False), ("Python-2.0", False), ("PSFL", True)],
     [r"python software foundation licen[cs]e", r"\bpsf licen[cs]e"]),
    (("BlueOak-1.0.0",), True, False, [], [r"blueoak-1\.0\.0", r"blue oak model licen[cs]e"]),
    (("OFL-1.1",), True, False, [],
     [r"\bofl[- ]?1\.1", r"sil open font licen[cs]e" + _V + r"1\.1", r"scripts\.sil\.org/ofl"]),
    (("CC-BY-4.0",), True, False, [],
     [r"\bcc[- ]by[- ]4\.0", r"creative commons attribution 4\.0", r"creativecommons\.org/licenses/by/4\.0"]),
    (("CC-BY-3.0",), True, False, [],
     [r"\bcc[- ]by[- ]3\.0", r"creative commons attribution 3\.0", r"creativecommons\.org/licenses/by/3\.0"]),
    (("CC-BY-SA-4.0",), True, False, [],
     [r"\bcc[- ]by[- ]sa[- ]4\.0", r"creative commons attribution[- ]share ?alike 4\.0", r"creativecommons\.org/licenses/by-sa/4\.0"]),
    (("CC-BY-SA-3.0",), True, False, [],
     [r"\bcc[- ]by[- ]sa[- ]3\.0", r"creative commons attribution[- ]share ?alike 3\.0", r"creativecommons\.org/licenses/by-sa/3\.0"]),
    (("CC0-1.0", "CC-BY-3.0", "CC-BY-4.0", "CC-BY-SA-3.0", "CC-BY-SA-4.0"), False, False, [], [r"creative ?commons"]),
    (("EUPL-1.1",), True, False, [], [r"\beupl[- ]?v?1\.1", r"european union public licen[cs]e" + _V + r"1\.1"]),
    (("EUPL-1.2",), True, False, [], [r"\beupl[- ]?v?1\.2", r"european union public licen[cs]e" + _V + r"1\.2"]),
    (("AFL-2.1",), True, False, [], [r"\bafl[- ]?v?2\.1", r"academic free licen[cs]e" + _V + r"2\.1"]),
    (("AFL-3.0",), True, False, [], [r"\bafl[- ]?v?3\.0", r"academic free licen[cs]e" + _V + r"3\.0"]),
    (("PHP-3.01",), True, False, [], [r"php licen[cs]e" + _V + r"3\.01", r"php\.net/license/3_01", r"\bphp-3\.01\b"]),
    (("PHP-3.0",), True, False, [], [r"php licen[cs]e" + _V + r"3\.0(?!1)", r"php\.net/license/3_0\.txt", r"\bphp-3\.0\b(?!1)"]),
    (("PHP-3.0", "PHP-3.01"), False, False, [], [r"php licen[cs]e"]),
    (("ZPL-2.1",), True, False, [], [r"\bzpl[- ]?v?2\.1", r"zope public licen[cs]e,?\s*(?:\(zpl\)\s*)?" + _V + r"2\.1"]),
    (("ZPL-2.0",), True, False, [], [r"\bzpl[- ]?v?2(?:\.0)?(?!\.?\d)", r"zope public licen[cs]e,?\s*(?:\(zpl\)\s*)?" + _V + r"2(?:\.0)?(?!\.?\d)"]),
    (("ZPL-2.0", "ZPL-2.1"), False, False, [], [r"zope public licen[cs]e", r"(?-i:\bZPL\b)"]),
    (("LPPL-1.3c",), True, False, [], [r"\blppl[- ]?1\.3c", r"latex project public licen[cs]e" + _V + r"1\.3c"]),
    (("UPL-1.0",), True, False, [], [r"universal permissive licen[cs]e", r"\bupl[- ]?1\.0"]),
    (("MS-PL",), True, False, [], [r"microsoft public licen[cs]e", r"\bms-pl\b"]),
    (("CPL-1.0",), True, False, [], [r"common public licen[cs]e" + _V + r"1\.0", r"\bcpl[- ]?1\.0"]),
    (("OSL-3.0",), True, False, [], [r"open software licen[cs]e" + _V + r"3\.0", r"\bosl[- ]?3\.0"]),
    (("PostgreSQL",), True, False, [], [r"postgresql licen[cs]e"]),
    (("Beerware",), True, False, [], [r"beer-?ware"]),
    (("X11",), True, False, [], [r"\bx11 licen[cs]e"]),
]
# words one of which every match of an entry holds, by family prefix (a quick test
# that spares the regular expressions most files)
GATES = [("GPL", ("gpl", "general public")), ("LGPL", ("gpl", "general public")),
         ("AGPL", ("gpl", "general public")), ("MIT", ("mit", "expat")), ("ISC", ("isc",)),
         ("0BSD", ("0bsd", "zero")), ("BSD", ("bsd",)), ("Apache", ("apache", "asl", "alv2")),
         ("MPL", ("mpl", "mozilla")), ("EPL", ("epl", "eclipse")), ("CDDL", ("cddl", "common development")),
         ("BSL", ("bsl", "boost")), ("Zlib", ("zlib",)), ("Unlicense", ("unlicen",)),
         ("CC", ("cc0", "creative", "publicdomain", "cc-by", "cc by")), ("WTFPL", ("wtfpl", "what the")),
         ("Artistic", ("artistic", "perl")), ("Ruby", ("ruby",)), ("PSF", ("psf", "python software")),
         ("Python", ("psf", "python software")), ("BlueOak", ("blue",)), ("OFL", ("ofl", "open font", "sil.org")),
         ("EUPL", ("eupl", "european")), ("AFL", ("afl", "academic free")), ("PHP", ("php",)),
         ("ZPL", ("zpl", "zope")), ("LPPL", ("lppl", "latex project")), ("UPL", ("upl", "universal permissive")),
         ("MS-PL", ("ms-pl", "microsoft public")), ("CPL", ("cpl", "common public")),
         ("OSL", ("osl", "open software")), ("PostgreSQL", ("postgresql",)), ("Beerware", ("beer",)),
         ("X11", ("x11",))]


def _gate(fams):
    return tuple(sorted({w for f in fams for prefix, words in GATES if f.startswith(prefix) for w in words}))


REFERENCES = [(fams, spec, joint, _gate(fams), re.compile("|".join(_aliases(aliases) + pats), re.I))
              for fams, spec, joint, aliases, pats in REFERENCES]
assert all(r[3] for r in REFERENCES)

NOTICE = re.compile(
    r" permission is hereby granted | redistribution and use in source and binary forms | without any warranty |"
    r" without warranty | warranties of merchantability | as published by the free software foundation |"
    r" you may not use (?:this )?file except | permission to use copy modify | on an as is basis |"
    r" this source code form is subject to the terms | altered source versions must be plainly marked |"
    r" the contents of this file are subject to | accompanying materials are made available under the terms |"
    r" spdx license identifier | free and unencumbered software | terms and conditions for use reproduction |"
    r" everyone is permitted to copy and distribute verbatim | provided as is ")


def has_notice(text):
    """True when the text quotes a license text or a standard notice (a grant, a
    disclaimer, the GNU or Apache notice, an SPDX tag): such files belong to the
    main corpus's kinds, not to the references sub-corpus."""
    return NOTICE.search(norm(text)) is not None


def reference_mentions(text):
    """[(families, specific, joint)] of the REFERENCES entries found in a text."""
    low = text.lower()
    return [(set(f), s, j) for f, s, j, gate, rx in REFERENCES
            if any(w in low for w in gate) and rx.search(text)]


def names_reference(text, expr, ids=None):
    """Evidence filter of the references sub-corpus.

    True when every license of the truth (an id or an expression) is named in the
    text by a specific name, URL or declared field (REFERENCES: "MIT", "@license
    MIT", "License : BSD3", "<name>The Apache Software License, Version 2.0</name>",
    "same terms as Perl itself", MODULE_LICENSE("GPL")), a name for several licenses
    counting only when the truth holds them all, and when nothing in the text names
    a license the truth cannot be (an unversioned "GPL" is no evidence, but does not
    count against a GPL-2.0 truth); with ids (rule_ids), an SPDX id with a version
    ("BSL-1.0") anywhere in the text counts against a truth it is not."""
    want = {family(i) for i in expr_ids(expr)}
    if not want:
        return False
    # an SPDX id of another license anywhere ("LICENSE.BSL-1.0.txt") counts against it too
    if ids is not None and any(family(m) not in want for m in _id_tokens(ids, loose=True).findall(text)):
        return False
    found = set()
    for fams, specific, joint, in reference_mentions(text):
        if not fams & want:
            return False
        if specific and (not joint or fams <= want):
            found |= fams & want
    return found == want


_ID_TOKENS = {}


def _id_tokens(ids, loose=False):
    """A regex for the SPDX ids (of rule_ids) that hold a digit or a hyphen, as tokens;
    loose: those with a version after a hyphen ("BSL-1.0", not "X11"), also inside
    file names ("LICENSE.BSL-1.0.txt")."""
    key = (id(ids), loose)
    if key not in _ID_TOKENS:
        names = sorted((n for n in ids.values() if re.search(r"[-\d]", n) and (not loose or
                        re.search(r"-.*\d", n))), key=len, reverse=True)
        head, tail = (r"(?<![A-Za-z0-9])", r"(?![A-Za-z0-9+-]|\.\d)") if loose else (_HEAD, _TAIL)
        _ID_TOKENS[key] = re.compile(head + "(" + "|".join(re.escape(n) for n in names) + ")" + tail)
    return _ID_TOKENS[key]


def many_licenses(text, ids, at_least=5):
    """True for a file that lists many licenses (SPDX id tables, trove classifier lists,
    license-list JSON): at least five licenses named by REFERENCES' specific names or
    by SPDX ids holding a digit or a hyphen.  Such files make the none kind of the
    references sub-corpus: no verdict is expected from them."""
    seen = {frozenset(f) for f, s, _j in reference_mentions(text) if s}
    seen |= {frozenset([family(m)]) for m in _id_tokens(ids).findall(text)}
    return len(seen) >= at_least


# kind "field": files that declare the license in a field of their own format
FIELD_FILES = {"package.json": "JavaScript", "bower.json": "JavaScript", "composer.json": "PHP",
               "Cargo.toml": "Rust", "pyproject.toml": "Python", "setup.cfg": "Python", "setup.py": "Python",
               "PKG-INFO": "Python", "META.json": "Perl", "META.yml": "Perl", "Makefile.PL": "Perl",
               "Build.PL": "Perl", "dist.ini": "Perl", "opam": "OCaml", "pom.xml": "Java",
               "build.gradle": "Java", "package.xml": "PHP"}
FIELD_EXT = {".pom": "Java", ".cabal": "Haskell", ".opam": "OCaml", ".gemspec": "Ruby"}
REF_EXT = dict(EXT, **{".hs": "Haskell", ".lhs": "Haskell", ".ml": "OCaml", ".mli": "OCaml",
                       ".php": "PHP", ".inc": "PHP", ".phpt": "PHP"})
DATA_EXT = (".json", ".txt", ".yml", ".yaml", ".csv", ".xml", ".toml", ".tsv")


def classify_ref(relpath, head):
    """(kind, language) of a file for the references sub-corpus, or (None, None).

    kind "field" for package metadata (package.json, pom, .cabal, opam, setup.py,
    PKG-INFO, gemspec, Cargo.toml, META.json, ...; language: the ecosystem's),
    "reference" for README and LICENSE-like files (language "text") and source
    files (REF_EXT), "data" for other data files (only ever kept as kind none)."""
    base = os.path.basename(relpath)
    ext = os.path.splitext(base)[1]
    parent = os.path.basename(os.path.dirname(relpath))
    if base in FIELD_FILES and not (base == "PKG-INFO" and not parent.endswith(".egg-info") and parent):
        return "field", FIELD_FILES[base]
    if base == "METADATA" and parent.endswith(".dist-info"):
        return "field", "Python"
    if ext in FIELD_EXT:
        return "field", FIELD_EXT[ext]
    if base.lower().startswith("readme") or (LICENSE_NAME.match(base) and ext.lower() not in REF_EXT):
        return "reference", "text"
    kind, lang = classify(relpath, head)
    if kind == "header":
        return "reference", REF_EXT.get(ext) or REF_EXT.get(ext.lower()) or lang
    if ext.lower() in DATA_EXT:
        return "data", "data"
    return None, None


POM_LICENSES = re.compile(r"<licenses>(.*?)</licenses>", re.S)


def pom_truth(text, ids=None):
    """The one license a Maven pom's <licenses> names (by REFERENCES), or None: GNU
    licenses (whose "-only" or "-or-later" the pom does not tell) and poms naming
    several licenses give None."""
    m = POM_LICENSES.search(text)
    if not m:
        return None
    fams = [f for f, s, _j in reference_mentions(m.group(1)) if s]
    if len(fams) != 1 or len(fams[0]) != 1:
        return None
    lid = next(iter(fams[0]))
    return None if lid.startswith(("GPL", "LGPL", "AGPL")) or not names_reference(text, lid, ids) else lid


# license scanners and their data: never scanned (their files quote and list licenses
# as test data and tables)
SCANNERS = {"ruby-licensee", "licensecheck", "python3-license-expression", "libregexp-pattern-license-perl",
            "license-reconcile", "python3-scancode-toolkit", "fossology", "librust-askalono-dev",
            "golang-github-google-licenseclassifier-dev", "golang-github-go-enry-go-license-detector-dev",
            "node-license-checker", "python3-spdx-tools", "ruby-license-finder", "licensee"}
