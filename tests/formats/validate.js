// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// Checks one scan written in every format (tests/formats/validate runs it):
//   node validate.js SCHEMA OUT_DIR
// OUT_DIR holds records.jsonl, out.csv, out.spdx.json and out.cdx.json of
// one run. CycloneDX: the official 1.5 schema (the strict validator of
// @cyclonedx/cyclonedx-library). SPDX 2.3: every required field and its
// form, unique SPDXIDs, relationships to known elements, and every license
// id through spdx-expression-parse. JSON Lines: the schema SCHEMA (ajv,
// draft 2020-12). CSV: RFC 4180 read back. Then the formats must agree file
// by file. Prints one line per check; exits 1 at the first failure.
'use strict';
const fs = require('fs');
const path = require('path');
const CDX = require('@cyclonedx/cyclonedx-library');
const Ajv2020 = require('ajv/dist/2020');
const parseSpdx = require('spdx-expression-parse');

const [schemaPath, dir] = process.argv.slice(2);
const read = (name) => fs.readFileSync(path.join(dir, name), 'utf8');
const fail = (what, detail) => {
  console.error(`FAIL ${dir}: ${what}: ${typeof detail === 'string' ? detail : JSON.stringify(detail, null, 1).slice(0, 2000)}`);
  process.exit(1);
};
const isSpdxLicense = (id) => {
  try { parseSpdx(id); return true; } catch (e) { return false; }
};

// JSON Lines.
const validateLine = new Ajv2020({ allErrors: true, strict: true }).compile(JSON.parse(fs.readFileSync(schemaPath, 'utf8')));
const jsonl = read('records.jsonl');
if (jsonl !== '' && !jsonl.endsWith('\n')) fail('jsonl', 'last line unterminated');
const lines = jsonl === '' ? [] : jsonl.slice(0, -1).split('\n').map((text, i) => {
  let value;
  try { value = JSON.parse(text); } catch (e) { fail(`jsonl line ${i + 1}`, e.message); }
  if (!validateLine(value)) fail(`jsonl line ${i + 1} against the schema`, validateLine.errors);
  return value;
});
for (const l of lines) {
  if (l.license !== null && !isSpdxLicense(l.license)) fail('jsonl license', l.license);
}

// CSV, RFC 4180: CRLF line ends, quoted fields with doubled quotes.
const rows = [];
{
  const text = read('out.csv');
  let row = [], field = '', i = 0;
  while (i < text.length) {
    if (text[i] === '"') {
      for (i++; ; i++) {
        if (i >= text.length) fail('csv', 'unterminated quoted field');
        if (text[i] === '"') { if (text[i + 1] === '"') { field += '"'; i++; } else { i++; break; } } else field += text[i];
      }
    } else {
      while (i < text.length && text[i] !== ',' && text[i] !== '\r' && text[i] !== '\n' && text[i] !== '"') field += text[i++];
    }
    if (text[i] === ',') { row.push(field); field = ''; i++; continue; }
    if (text.startsWith('\r\n', i)) { row.push(field); rows.push(row); row = []; field = ''; i += 2; continue; }
    fail('csv', `unexpected ${JSON.stringify(text[i])} at byte ${i}`);
  }
  if (row.length || field) fail('csv', 'last record unterminated');
}
if (rows.length === 0 || rows[0].join(',') !== 'path,license,score,rule,match') fail('csv header', rows[0]);
rows.shift();
for (const r of rows) if (r.length !== 5) fail('csv fields', r);

// SPDX 2.3.
const spdx = JSON.parse(read('out.spdx.json'));
{
  const need = (cond, what) => { if (!cond) fail('spdx', what); };
  need(spdx.spdxVersion === 'SPDX-2.3', 'spdxVersion');
  need(spdx.dataLicense === 'CC0-1.0', 'dataLicense');
  need(spdx.SPDXID === 'SPDXRef-DOCUMENT', 'SPDXID');
  need(typeof spdx.name === 'string' && spdx.name.length > 0, 'name');
  need(/^https?:\/\/[^#\s]+$/.test(spdx.documentNamespace), 'documentNamespace');
  need(spdx.creationInfo && /^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\dZ$/.test(spdx.creationInfo.created), 'creationInfo.created');
  need(Array.isArray(spdx.creationInfo.creators) && spdx.creationInfo.creators.length > 0 &&
       spdx.creationInfo.creators.every((c) => /^(Tool|Organization|Person): \S/.test(c)), 'creators');
  need(Array.isArray(spdx.files), 'files');
  const ids = new Set(['SPDXRef-DOCUMENT']);
  for (const f of spdx.files) {
    need(typeof f.fileName === 'string' && f.fileName.startsWith('./'), `fileName ${f.fileName}`);
    need(/^SPDXRef-[A-Za-z0-9.-]+$/.test(f.SPDXID) && !ids.has(f.SPDXID), `SPDXID ${f.SPDXID}`);
    ids.add(f.SPDXID);
    need(Array.isArray(f.checksums) && f.checksums.some((c) => c.algorithm === 'SHA1' && /^[0-9a-f]{40}$/.test(c.checksumValue)), `checksums of ${f.fileName}`);
    need(f.licenseConcluded === 'NOASSERTION' || isSpdxLicense(f.licenseConcluded), `licenseConcluded of ${f.fileName}`);
    need(Array.isArray(f.licenseInfoInFiles) && f.licenseInfoInFiles.length > 0, `licenseInfoInFiles of ${f.fileName}`);
    for (const id of f.licenseInfoInFiles) {
      need(id === 'NOASSERTION' || id === 'NONE' || isSpdxLicense(id), `license ${id} of ${f.fileName}`);
    }
    need(typeof f.copyrightText === 'string' && f.copyrightText.length > 0, `copyrightText of ${f.fileName}`);
    for (const key of Object.keys(f)) {
      need(['fileName', 'SPDXID', 'checksums', 'licenseConcluded', 'licenseInfoInFiles', 'copyrightText', 'comment'].includes(key), `unknown file key ${key}`);
    }
  }
  need(Array.isArray(spdx.relationships), 'relationships');
  for (const r of spdx.relationships) {
    need(ids.has(r.spdxElementId) && ids.has(r.relatedSpdxElement) && r.relationshipType === 'DESCRIBES', `relationship ${JSON.stringify(r)}`);
  }
  need(spdx.relationships.length === spdx.files.length, 'one DESCRIBES per file');
}

// CycloneDX 1.5, against the official schema.
const cdxText = read('out.cdx.json');
const cdx = JSON.parse(cdxText);
(async () => {
  const errors = await new CDX.Validation.JsonStrictValidator(CDX.Spec.Version.v1dot5).validate(cdxText);
  if (errors !== null) fail('cyclonedx against the 1.5 schema', errors);
  for (const c of cdx.components) {
    for (const l of c.licenses || []) {
      if (l.expression !== undefined && !isSpdxLicense(l.expression)) fail('cyclonedx expression', l.expression);
    }
  }

  // The four agree file by file: same files in the same order, same verdicts.
  const n = lines.length;
  if (rows.length !== n) fail('csv rows vs jsonl lines', `${rows.length} vs ${n}`);
  if (spdx.files.length !== n || cdx.components.length !== n) fail('document entries vs jsonl lines', `${spdx.files.length}, ${cdx.components.length} vs ${n}`);
  lines.forEach((l, i) => {
    const r = rows[i], f = spdx.files[i], c = cdx.components[i];
    const license = l.license === null ? '' : l.license;
    if (r[1] !== license || Number(r[2]) !== l.score || r[4] !== l.match || r[3] !== (l.rule || '')) fail(`csv row ${i + 1}`, { csv: r, jsonl: l });
    if (c.name !== l.path) fail(`cyclonedx component ${i + 1}`, { name: c.name, path: l.path });
    if (c.hashes[0].content !== f.checksums[0].checksumValue) fail(`hash ${i + 1}`, c.name);
    const cdxLicense = c.licenses ? (c.licenses[0].expression || c.licenses[0].license.id) : null;
    if (cdxLicense !== l.license) fail(`cyclonedx license ${i + 1}`, { cdx: cdxLicense, jsonl: l.license });
    const infos = f.licenseInfoInFiles;
    if (l.license === null ? !(infos.length === 1 && infos[0] === 'NOASSERTION') : !infos.every((id) => l.license.includes(id.replace(/\+$/, '')))) {
      fail(`spdx licenseInfoInFiles ${i + 1}`, { spdx: infos, jsonl: l.license });
    }
    if (l.copyrights && l.copyrights.length > 0 && f.copyrightText !== l.copyrights.join('\n')) fail(`spdx copyrightText ${i + 1}`, f.fileName);
  });
  console.log(`ok ${dir}: ${n} files; jsonl schema, csv, spdx-2.3 structure and licenses, cyclonedx-1.5 schema, all agreeing`);
})().catch((e) => fail('validator', String(e && e.stack || e)));
