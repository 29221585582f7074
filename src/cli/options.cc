// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/options.h"

#include <getopt.h>
#include <sched.h>

#include <algorithm>
#include <cctype>
#include <cstdio>

#include "cli/flags.h"
#include "cli/rule_dirs.h"
#include "core/version.h"
#include "output/sbom.h"

namespace tarsil {

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

OptionExit failure(std::string text) {
  return OptionExit{.status = 1, .message = {std::move(text), Stream::kStderr}};
}

std::string format_error(const char* value) {
  std::string names;
  for (const std::string_view name : kFormatNames) {
    names += (names.empty() ? "" : ", ") + std::string(name);
  }
  return "Error: --format requires one of " + names + " (got: " + value + ")\n";
}

// The last --format of the command line (records when none), read before
// anything else so that every message knows its stream; getopt's own
// diagnostics wait for the real pass.
std::variant<OutputFormat, OptionExit> scan_format(int argc, char** argv, const option* options,
                                                   const char* short_options) {
  OutputFormat format = OutputFormat::kRecords;
  std::vector<char*> words(argv, argv + argc);  // getopt reorders what it reads: a copy
  words.push_back(nullptr);
  opterr = 0;
  int code;
  std::optional<OptionExit> bad;
  while (!bad && (code = getopt_long(argc, words.data(), short_options, options, nullptr)) != -1) {
    if (code != kFormat) continue;
    if (const std::optional<OutputFormat> named = parse_format(optarg)) {
      format = *named;
    } else {
      bad = failure(format_error(optarg));
    }
  }
  opterr = 1;
  optind = 0;  // the real pass starts afresh
  if (bad) return *bad;
  return format;
}

}  // namespace

int default_jobs() {
  cpu_set_t set;
  int count = 1;
  if (sched_getaffinity(0, sizeof set, &set) == 0) count = CPU_COUNT(&set);
  return count < 1 ? 1 : count > 64 ? 64 : count;
}

std::variant<CommandLine, OptionExit> parse_options(int argc, char** argv) {
  CommandLine line;
  RunSettings& settings = line.settings;
  settings = default_run_settings();
  settings.jobs = default_jobs();
  const std::vector<option> long_table = long_options();
  const std::string short_table = short_options();
  std::variant<OutputFormat, OptionExit> scanned =
      scan_format(argc, argv, long_table.data(), short_table.c_str());
  if (OptionExit* exit = std::get_if<OptionExit>(&scanned)) return *exit;
  line.format = std::get<OutputFormat>(scanned);
  // Messages bound for standard output leave it to the other formats.
  const auto fail = [&line](Message message) {
    if (line.format != OutputFormat::kRecords) message.stream = Stream::kStderr;
    return OptionExit{.status = 1, .message = std::move(message)};
  };
  int code;
  while ((code = getopt_long(argc, argv, short_table.c_str(), long_table.data(), nullptr)) != -1) {
    switch (code) {
      case 'd':
        if (settings.setting & SETTING_DEBUG) settings.setting |= SETTING_VERBOSE;
        settings.setting |= SETTING_DEBUG;
        break;
      case 'h':
        return OptionExit{.status = 0, .message = {help_text(), Stream::kStdout}};
      case 'v':
        return OptionExit{
            .status = 0,
            .message = {"KELMOR Tarsil " + std::string(kVersion) + "\n", Stream::kStdout}};
      case 'p':
        settings.setting |= SETTING_PRETTY;
        break;
      case 'y':
        settings.setting |= SETTING_COPYRIGHT;
        break;
      case 's':
      case 'w':
      case 'b': {
        if (!is_all_digits(optarg)) return fail(integer_error(static_cast<char>(code), optarg));
        const int32_t value = parse_digits(optarg);
        if (code == 's') settings.threshold = static_cast<float>(value);
        if (code == 'w') settings.minwords = value;
        if (code == 'b') settings.minbytes = value;
        break;
      }
      case 'r':
        if (const Status status = set_rule_root(optarg, &settings); !status.ok()) {
          return fail(status_message(status));
        }
        break;
      case kJobs: {
        const int32_t jobs = is_all_digits(optarg) && *optarg != '\0' ? parse_digits(optarg) : 0;
        if (jobs < 1 || jobs > kMaxJobs) {
          return fail({"Error: --jobs requires an integer from 1 to " + std::to_string(kMaxJobs) +
                           " (got: " + optarg + ")\n",
                       Stream::kStdout});
        }
        settings.jobs = jobs;
        break;
      }
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
        line.excludes.push_back(exclude_glob(optarg));
        break;
      case kSummary:
        line.summary = true;
        break;
      case kFormat:
        break;  // read before the loop
      case kSbomCreated:
        if (!valid_sbom_time(optarg)) {
          return failure(std::string("Error: --sbom-created requires a UTC time as "
                                     "YYYY-MM-DDThh:mm:ssZ (got: ") +
                         optarg + ")\n");
        }
        line.sbom_created = optarg;
        break;
      case kSpdxExpressions:
        settings.spdx_expressions = true;
        break;
      default:
        return failure("ERROR: Unknown option " + std::to_string(code) + "\n");
    }
  }
  if (line.files_from) {
    if (optind < argc) return failure(kListAndOperands);
  } else {
    line.operands.assign(argv + std::min(optind, argc - 1), argv + argc);
  }
  // The formats beside records read copyright statements as the JSON form does.
  if (line.format != OutputFormat::kRecords) settings.setting &= ~SETTING_PRETTY;
  return line;
}

std::string banner_text(const RunSettings& settings) {
  char threshold[64], setting[16];
  std::snprintf(threshold, sizeof threshold, "%.2f", static_cast<double>(settings.threshold));
  std::snprintf(setting, sizeof setting, "%x", settings.setting);
  return "Version \t : " + std::string(kVersion) + "\nSetting \t : 0x" + setting +
         "\nThreshold \t : " + threshold + "\nStringdir \t : " + settings.stringdir +
         "\nlicensedir \t : " + settings.licensedir +
         "\nminwords \t : " + std::to_string(settings.minwords) +
         "\nminbytes \t : " + std::to_string(settings.minbytes) + "\n====================\n";
}

}  // namespace tarsil
