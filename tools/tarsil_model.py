# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The tarsil authors
"""A small Python model of tarsil's matching rules.

Used by the rule-set generator (to check that string rules fire only on their
own license) and by the accuracy benchmark (for quick iteration; the figures
it reports come from the real binary).  Defaults: minbytes 20, minwords 2,
threshold 80.  Only the first 10000 bytes of any text count, up to a NUL.
"""

MAXBYTES = 10000
MINBYTES = 20
MINWORDS = 2
THRESHOLD = 80.0


def _isalnum(b):
    return 48 <= b <= 57 or 65 <= b <= 90 or 97 <= b <= 122


def normalize(data):
    """Raw bytes (or str) -> normalized text: upper-case words joined by '|'."""
    if isinstance(data, str):
        data = data.encode("utf-8", "surrogateescape")
    data = data[:MAXBYTES]
    nul = data.find(b"\0")
    if nul >= 0:
        data = data[:nul]
    out = []
    for b in data:
        if _isalnum(b):
            out.append(b - 32 if 97 <= b <= 122 else b)
        elif out and out[-1] != 124:
            out.append(124)
    return bytes(out).decode("ascii")


def chunks(rule):
    """Cut a normalized rule into (chunk, weight) pairs; returns (list, total)."""
    res = []
    total = chars = words = start = 0
    n = len(rule)
    for i, c in enumerate(rule):
        if c != "|":
            chars += 1
            continue
        words += 1
        total += 1
        if (chars >= MINBYTES and words >= MINWORDS) or i == n - 1:
            if i - start > 0:
                res.append((rule[start:i], words))
            chars = words = 0
            start = i + 1
    return res, total


class Rule:
    """A pre-chunked normalized rule text."""

    __slots__ = ("name", "norm", "chunks", "total", "length")

    def __init__(self, name, norm):
        self.name = name
        self.norm = norm
        self.chunks, self.total = chunks(norm)
        self.length = len(norm)

    def coverage(self, target, early_exit=True):
        """Plain coverage score (0..100) before the threshold cut."""
        if self.total == 0:
            return 0.0
        budget = self.total * (100.0 - THRESHOLD) / 100.0 if early_exit else None
        matched = 0
        missed = 0
        for c, w in self.chunks:
            if c in target:
                matched += w
            else:
                missed += w
                if budget is not None and missed > budget + 1e-9:
                    return 0.0
        return 100.0 * matched / self.total

    def score(self, target, proportional=False):
        cov = self.coverage(target)
        if cov < THRESHOLD:
            return 0.0
        if not proportional:
            return cov
        matched = cov * self.total / 100.0
        twords = target.count("|")
        if twords == 0:
            return float("inf")
        return (100.0 - THRESHOLD) * matched / twords + THRESHOLD


def string_line_matches(line, target):
    """One string rule line (raw text) fully matched in a normalized target."""
    r = Rule("", normalize(line))
    if r.total == 0:
        return False
    return r.coverage(target, early_exit=False) == 100.0


def is_proportional(license_id):
    return license_id.startswith("BSD") or license_id.startswith("Apache")


class RuleSet:
    """licenses: {id: [Rule]}, strings: {id: [line]} (raw lines with newline)."""

    def __init__(self, licenses, strings):
        self.licenses = licenses
        self.strings = strings

    @classmethod
    def load(cls, root):
        import os
        lic, strs = {}, {}
        ld = os.path.join(root, "licenses.d")
        for lid in sorted(os.listdir(ld)):
            if lid.startswith("."):
                continue
            rules = []
            d = os.path.join(ld, lid)
            for f in sorted(os.listdir(d)):
                if f.startswith("."):
                    continue
                with open(os.path.join(d, f), "rb") as fh:
                    rules.append(Rule(f, normalize(fh.read())))
            lic[lid] = rules
        sd = os.path.join(root, "strings.d")
        for lid in sorted(os.listdir(sd)):
            if lid.startswith("."):
                continue
            lines = []
            d = os.path.join(sd, lid)
            for f in sorted(os.listdir(d)):
                if f.startswith("."):
                    continue
                with open(os.path.join(d, f), "rb") as fh:
                    lines += [l.decode("latin-1") for l in fh.read().split(b"\n") if l.strip()]
            strs[lid] = [l + "\n" for l in lines]
        return cls(lic, strs)

    def strings_match(self, lid, target):
        return any(string_line_matches(l, target) for l in self.strings.get(lid, ()))

    def identify(self, raw, order=None):
        """Returns (license, score, rule) like the license + string passes.

        `order` is the listing order of the license directories (default
        sorted); the benchmark runs both directions to expose ties that would
        be settled by the file system's order.
        """
        target = normalize(raw)
        ids = order if order is not None else sorted(self.licenses)
        scored = []
        for lid in ids:
            prop = is_proportional(lid)
            for r in self.licenses[lid]:
                a = r.score(target, prop)
                if a > 0:
                    scored.append((lid, r, a))
        best = ("", 0.0, "", 0)
        for lid, r, a in scored:
            if a >= THRESHOLD and (a > best[1] or (a == best[1] and r.length > best[3])):
                s = a
                if self.strings_match(lid, target):
                    s = (100.0 + a) / 2.0
                best = (lid, s, r.name, r.length)
        if best[0] and best[1] >= THRESHOLD:
            return best[0], best[1], best[2]
        sids = order if order is not None else sorted(self.strings)
        for lid in sids:
            if lid in self.strings and self.strings_match(lid, target):
                return lid, 100.0, "strings.d"
        return "", 0.0, ""
