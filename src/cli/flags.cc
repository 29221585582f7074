// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/flags.h"

#include "core/version.h"

namespace tarsil {
namespace {

using enum HelpPlace;

constexpr Flag kTable[] = {
    {.name = "debug",
     .letter = 'd',
     .code = 'd',
     .place = kOptions,
     .help = " --debug,     -d  Enables debugging mode"},
    {.name = "help",
     .letter = 'h',
     .code = 'h',
     .place = kOptions,
     .help = " --help,      -h  Displays this help and exits"},
    {.name = "version",
     .letter = 'v',
     .code = 'v',
     .place = kOptions,
     .help = " --version,   -v  Displays version and exits"},
    {.name = "pretty",
     .letter = 'p',
     .code = 'p',
     .place = kOptions,
     .help = " --pretty,    -p  Indent JSON response for easier screen reading"},
    {.letter = 'y',
     .code = 'y',
     .place = kOptions,
     .help = " --copyright, -y  Add copyright identification scan"},
    {.name = "threshold",
     .letter = 's',
     .takes_value = true,
     .code = 's',
     .place = kSettings,
     .help = " --threshold  -s [value],  Threshold for match, def: 80"},
    {.name = "minwords",
     .letter = 'w',
     .takes_value = true,
     .code = 'w',
     .place = kSettings,
     .help = " --minwords   -w [value],  Min words for lic comparision, def: 2"},
    {.name = "minbytes",
     .letter = 'b',
     .takes_value = true,
     .code = 'b',
     .place = kSettings,
     .help = " --minbytes   -b [value],  Min bytes for lic comparision, def: 20"},
    // Accepted by the parser, never supported: it ends in the unknown-option error.
    {.name = "config", .letter = 'c', .takes_value = true, .code = 'c', .offered = false},
    {.name = "ruledir",
     .letter = 'r',
     .takes_value = true,
     .code = 'r',
     .place = kSettings,
     .help = " --ruledir,   -r [string], Location of rules, see above for defaults",
     .complete = CompleteWith::kDirectory},
    {.name = "spdx-expressions",
     .code = kSpdxExpressions,
     .place = kOptions,
     .help = " --spdx-expressions  Read SPDX-License-Identifier tags as license expressions"},
    {.name = "jobs",
     .takes_value = true,
     .code = kJobs,
     .place = kOptions,
     .help = " --jobs N  Analyse N files at once (default: the processors available)"},
    {.name = "files-from",
     .takes_value = true,
     .code = kFilesFrom,
     .place = kOptions,
     .help = " --files-from FILE  Scan the paths listed in FILE, one a line (-: standard input)",
     .complete = CompleteWith::kFile},
    {.name = "null",
     .code = kNull,
     .place = kOptions,
     .help = " --null  Entries of the --files-from list end with NUL bytes"},
    {.name = "keep-going",
     .code = kKeepGoing,
     .place = kOptions,
     .help = " --keep-going  Report a file that cannot be read and go on"},
    {.name = "fail-on",
     .takes_value = true,
     .code = kFailOn,
     .place = kOptions,
     .help = " --fail-on LIST  Exit with status 3 when a file has one of these licenses",
     .complete = CompleteWith::kLicenseIds},
    {.name = "allow",
     .takes_value = true,
     .code = kAllow,
     .place = kOptions,
     .help = " --allow LIST  Exit with status 3 when a file has a license not listed",
     .complete = CompleteWith::kLicenseIds},
    {.name = "fail-on-unknown",
     .code = kFailOnUnknown,
     .place = kOptions,
     .help = " --fail-on-unknown  Exit with status 3 when a file has no license found"},
    {.name = "exclude",
     .takes_value = true,
     .code = kExclude,
     .place = kOptions,
     .help = " --exclude GLOB  Leave out the entries of walked trees that match GLOB"},
    {.name = "summary",
     .code = kSummary,
     .place = kOptions,
     .help = " --summary  Write the files per license to standard error at the end"},
    {.name = "format",
     .takes_value = true,
     .code = kFormat,
     .place = kOptions,
     .help = " --format FORMAT  records, jsonl, spdx-json, cyclonedx-json or csv",
     .complete = CompleteWith::kFormat},
    {.name = "sbom-created",
     .takes_value = true,
     .code = kSbomCreated,
     .place = kOptions,
     .help = " --sbom-created TIME  Creation time of SBOM documents, YYYY-MM-DDThh:mm:ssZ"},
};

constexpr std::string_view kFormats[] = {"records", "jsonl", "spdx-json", "cyclonedx-json", "csv"};

}  // namespace

const std::span<const Flag> kFlags = kTable;
const std::span<const std::string_view> kFormatNames = kFormats;

std::vector<option> long_options() {
  std::vector<option> options;
  for (const Flag& flag : kFlags) {
    if (flag.name.empty()) continue;
    // The names are literals of the table above, so their data is terminated.
    options.push_back(option{flag.name.data(), flag.takes_value ? required_argument : no_argument,
                             nullptr, flag.code});
  }
  options.push_back(option{nullptr, 0, nullptr, 0});
  return options;
}

std::string short_options() {
  // Letters in the order getopt has always been given them.
  static constexpr std::string_view kOrder = "cdhvswbpry";
  std::string out;
  for (const char letter : kOrder) {
    for (const Flag& flag : kFlags) {
      if (flag.letter != letter) continue;
      out += letter;
      if (flag.takes_value) out += ':';
    }
  }
  return out;
}

std::string help_text() {
  std::string text = "KELMOR Tarsil " + std::string(kVersion) +
                     "\n"
                     "Usage: tarsil [options] path\n"
                     "\n"
                     "Tarsil attempts license detection on the given path (single file or "
                     "directory)\n"
                     "Default tarsil rules location, containing strings.d and licenses.d:\n"
                     "\tStand-alone    : /kelmor/etc/tarsil_rules/\n"
                     "\tPart of WebApp : /etc/kelmor/tarsil_rules/\n"
                     "Rules are simply licenses and headers placed inside a directory named with "
                     "the\n"
                     "corresponding SPDX id. For example licenses.d/MIT/original.txt\n"
                     "\n"
                     "Available options:\n";
  for (const HelpPlace place : {kOptions, kSettings}) {
    if (place == kSettings) text += "Available settings:\n";
    for (const Flag& flag : kFlags) {
      if (flag.place == place) text.append(flag.help) += '\n';
    }
  }
  return text +
         "\n"
         "Several paths are scanned in turn, - reads standard input. tarsil is made by the "
         "KELMOR tarsil developers; report problems through the project's issue tracker.\n";
}

}  // namespace tarsil
