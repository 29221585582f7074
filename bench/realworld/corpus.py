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


def names_license(text, truth):
    """True when the text visibly names or quotes the truth license (and names no other family)."""
    t = norm(text)
    fam = family(truth)
    # an SPDX tag settles it, either way
    tags = re.findall(r"spdx-license-identifier:\s*([A-Za-z0-9.+-]+)", text, re.I)
    if tags:
        return all(family(tag.rstrip("+")).lower().replace(".0", "") ==
                   fam.lower().replace(".0", "") for tag in tags)
    named = {f for f, p in NAMED if p.search(t)}
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


def lay_out(cache, packages, truth_rows, reserved, quiet=False):
    """Make <cache>/corpus/<half>/<package>/<path> match the truth table.

    Returns a list of problems (missing packages, missing or changed files); never fails."""
    problems = []
    by_pkg = {}
    for row in truth_rows:
        by_pkg.setdefault(row[1], []).append(row)
    os.makedirs(cache, exist_ok=True)
    corpus = os.path.join(cache, "corpus")
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
