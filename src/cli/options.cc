// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/options.h"

#include <getopt.h>
#include <sched.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include "cli/output.h"
#include "cli/rule_dirs.h"

namespace tarsil {

const char kHelpText[] =
    "KELMOR Tarsil v.1.23\n"
    "Usage: tarsil [options] path\n"
    "\n"
    "Tarsil attempts license detection on the given path (single file or directory)\n"
    "Default tarsil rules location, containing strings.d and licenses.d:\n"
    "\tStand-alone    : /kelmor/etc/tarsil_rules/\n"
    "\tPart of WebApp : /etc/kelmor/tarsil_rules/\n"
    "Rules are simply licenses and headers placed inside a directory named with the\n"
    "corresponding SPDX id. For example licenses.d/MIT/original.txt\n"
    "\n"
    "Available options:\n"
    " --debug,     -d  Enables debugging mode\n"
    " --help,      -h  Displays this help and exits\n"
    " --version,   -v  Displays version and exits\n"
    " --pretty,    -p  Indent JSON response for easier screen reading\n"
    " --copyright, -y  Add copyright identification scan\n"
    " --spdx-expressions  Read SPDX-License-Identifier tags as license expressions\n"
    "Available settings:\n"
    " --threshold  -s [value],  Threshold for match, def: 80\n"
    " --minwords   -w [value],  Min words for lic comparision, def: 2\n"
    " --minbytes   -b [value],  Min bytes for lic comparision, def: 20\n"
    " --ruledir,   -r [string], Location of rules, see above for defaults\n"
    "\n"
    "tarsil is made by the KELMOR tarsil developers; report problems and get support "
    "through the project's issue tracker.\n";

bool is_all_digits(const char* text) {
  for (; *text != '\0'; ++text) {
    if (!std::isdigit(static_cast<unsigned char>(*text))) return false;
  }
  return true;
}

int32_t parse_digits(const char* text) {
  int64_t value = 0;
  for (; *text != '\0'; ++text) {
    value = value * 10 + (*text - '0');
    if (value > INT32_MAX) return INT32_MAX;
  }
  return static_cast<int32_t>(value);
}

namespace {

// getopt_long's code for --spdx-expressions, which has no short form.
constexpr int kSpdxExpressions = 0x100;

int32_t integer_option(int code, const char* text) {
  if (!is_all_digits(text)) usage_error(1, code, text);
  return parse_digits(text);
}

// Codes of the other long-only options.
enum LongOnly {
  kJobs = kSpdxExpressions + 1,
  kFilesFrom,
  kNull,
  kKeepGoing,
  kFailOn,
  kAllow,
  kFailOnUnknown,
  kExclude,
  kSummary,
  kFormat,
  kSbomCreated,
};

int jobs_option(const char* text) {
  const int32_t jobs = is_all_digits(text) && *text != '\0' ? parse_digits(text) : 0;
  if (jobs < 1 || jobs > kMaxJobs) {
    message_exit("Error: --jobs requires an integer from 1 to " + std::to_string(kMaxJobs) +
                 " (got: " + text + ")\n");
  }
  return jobs;
}

// The format --format names, or the end of the run.
OutputFormat format_option(const char* text) {
  const std::optional<OutputFormat> format = parse_format(text);
  if (!format) {
    fatal_stderr(std::string("Error: --format requires one of records, jsonl, spdx-json, "
                             "cyclonedx-json, csv (got: ") +
                 text + ")\n");
  }
  return *format;
}

// The last --format of the command line (records when none), read before
// anything else so that every message knows its stream; getopt's own
// diagnostics wait for the real pass.
OutputFormat scan_format(int argc, char** argv, const option* options, const char* short_options) {
  OutputFormat format = OutputFormat::kRecords;
  std::vector<char*> words(argv, argv + argc);  // getopt reorders what it reads: a copy
  words.push_back(nullptr);
  opterr = 0;
  int code;
  while ((code = getopt_long(argc, words.data(), short_options, options, nullptr)) != -1) {
    if (code == kFormat) format = format_option(optarg);
  }
  opterr = 1;
  optind = 0;  // the real pass starts afresh
  return format;
}

}  // namespace

int default_jobs() {
  cpu_set_t set;
  int count = 1;
  if (sched_getaffinity(0, sizeof set, &set) == 0) count = CPU_COUNT(&set);
  return count < 1 ? 1 : count > 64 ? 64 : count;
}

CommandLine parse_options(int argc, char** argv) {
  CommandLine line;
  RunSettings& settings = line.settings;
  settings = default_run_settings();
  settings.jobs = default_jobs();
  static const option kLongOptions[] = {
      {"debug", no_argument, nullptr, 'd'},
      {"help", no_argument, nullptr, 'h'},
      {"version", no_argument, nullptr, 'v'},
      {"pretty", no_argument, nullptr, 'p'},
      {"threshold", required_argument, nullptr, 's'},
      {"minwords", required_argument, nullptr, 'w'},
      {"minbytes", required_argument, nullptr, 'b'},
      {"config", required_argument, nullptr, 'c'},
      {"ruledir", required_argument, nullptr, 'r'},
      {"spdx-expressions", no_argument, nullptr, kSpdxExpressions},
      {"jobs", required_argument, nullptr, kJobs},
      {"files-from", required_argument, nullptr, kFilesFrom},
      {"null", no_argument, nullptr, kNull},
      {"keep-going", no_argument, nullptr, kKeepGoing},
      {"fail-on", required_argument, nullptr, kFailOn},
      {"allow", required_argument, nullptr, kAllow},
      {"fail-on-unknown", no_argument, nullptr, kFailOnUnknown},
      {"exclude", required_argument, nullptr, kExclude},
      {"summary", no_argument, nullptr, kSummary},
      {"format", required_argument, nullptr, kFormat},
      {"sbom-created", required_argument, nullptr, kSbomCreated},
      {nullptr, 0, nullptr, 0},
  };
  static const char kShortOptions[] = "c:dhvs:w:b:pr:y";
  line.format = scan_format(argc, argv, kLongOptions, kShortOptions);
  if (line.format != OutputFormat::kRecords) messages_to_stderr();
  int code;
  while ((code = getopt_long(argc, argv, kShortOptions, kLongOptions, nullptr)) != -1) {
    switch (code) {
      case 'd':
        if (settings.setting & SETTING_DEBUG) settings.setting |= SETTING_VERBOSE;
        settings.setting |= SETTING_DEBUG;
        break;
      case 'h':
        std::fputs(kHelpText, stdout);
        finish_output();
        std::exit(0);
      case 'v':
        std::printf("KELMOR Tarsil %s\n", kVersion);
        finish_output();
        std::exit(0);
      case 'p':
        settings.setting |= SETTING_PRETTY;
        break;
      case 'y':
        settings.setting |= SETTING_COPYRIGHT;
        break;
      case 's':
        settings.threshold = static_cast<float>(integer_option('s', optarg));
        break;
      case 'w':
        settings.minwords = integer_option('w', optarg);
        break;
      case 'b':
        settings.minbytes = integer_option('b', optarg);
        break;
      case 'r':
        set_rule_root(optarg, &settings);
        break;
      case kJobs:
        settings.jobs = jobs_option(optarg);
        break;
      case kFilesFrom:
        line.files_from = optarg;
        break;
      case kNull:
        line.null_separated = true;
        break;
      case kKeepGoing:
        line.keep_going = true;
        break;
      case kFailOn:
        add_patterns(optarg, &line.gate.fail_on);
        break;
      case kAllow:
        add_patterns(optarg, &line.gate.allow);
        line.gate.allow_given = true;
        break;
      case kFailOnUnknown:
        line.gate.fail_on_unknown = true;
        break;
      case kExclude:
        line.excludes.emplace_back(optarg);
        break;
      case kSummary:
        line.summary = true;
        break;
      case kFormat:
        break;  // read before the loop
      case kSbomCreated:
        if (!valid_sbom_time(optarg)) {
          fatal_stderr(std::string("Error: --sbom-created requires a UTC time as "
                                   "YYYY-MM-DDThh:mm:ssZ (got: ") +
                       optarg + ")\n");
        }
        line.sbom_created = optarg;
        break;
      case kSpdxExpressions:
        settings.spdx_expressions = true;
        break;
      default:
        fatal_stderr("ERROR: Unknown option " + std::to_string(code) + "\n");
    }
  }
  if (line.files_from) {
    if (optind < argc) fatal_stderr("ERROR: --files-from takes no path argument\n");
  } else {
    line.target = argv[argc - 1];
  }
  return line;
}

void log_banner(const RunSettings& settings) {
  cli_log(settings, SETTING_DEBUG,
          "Version \t : %s\nSetting \t : 0x%x\nThreshold \t : %.2f\nStringdir \t : "
          "%s\nlicensedir \t : %s\nminwords \t : %d\nminbytes \t : %d\n"
          "====================\n",
          kVersion, settings.setting, static_cast<double>(settings.threshold),
          settings.stringdir.c_str(), settings.licensedir.c_str(), settings.minwords,
          settings.minbytes);
}

}  // namespace tarsil
