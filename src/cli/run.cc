// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/run.h"

#include <limits.h>
#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <thread>
#include <unordered_set>
#include <vector>

#include "analysis/identify.h"
#include "cli/formats.h"
#include "cli/gate.h"
#include "cli/options.h"
#include "cli/output.h"
#include "cli/pipeline.h"
#include "cli/progress.h"
#include "cli/rule_dirs.h"
#include "match/handles.h"
#include "match/text.h"
#include "walk/scan_tree.h"

namespace tarsil {
namespace {

// One step of the run in serial order: a regular file to analyse, or a listed
// path that is neither file nor directory (then `notice` is its message).
// Each notice makes the run end with status 2.
struct Item {
  std::string path;
  std::string notice;
  // Found by the walk: a file removed since its directory was listed is
  // passed over, as one removed before.
  bool walked = false;
  // For a path too long to be opened by name, the walk reads the file at
  // once, relative to its directory: its text, or nothing when unreadable.
  bool read = false;
  std::optional<std::string> text;
  int read_errno = 0;  // why `text` is missing
  std::string sha1;    // with `text`, for the documents: the whole file's hash
  // The bytes of `path` above the target directory (documents name files
  // below it); 0 with --files-from.
  std::size_t root_length = 0;
};

// The item of a listed path that is neither file nor directory.
Item notice_item(const std::string& path, std::string notice) {
  return Item{path, std::move(notice), false, false, std::nullopt, 0, {}, 0};
}

// "tarsil: <path>: <reason>\n", the reason being errno `err` in lower case.
std::string path_message(const std::string& path, int err) {
  std::string reason = std::strerror(err);
  if (!reason.empty() && reason[0] >= 'A' && reason[0] <= 'Z') reason[0] += 'a' - 'A';
  return "tarsil: " + path + ": " + reason + "\n";
}

// A file that got its result: its path, and its verdict (none when the
// file has none), for the tally and the progress line.
struct Scanned {
  std::string path;
  std::optional<std::string> license;
  bool expression = false;  // the verdict is an SPDX expression
};

// What the writer writes for one item: its log lines (on standard error in
// the formats beside records, where they are kept apart), its standard
// output text (a document's entry: kept for the end), then the notice on
// standard error, then the run-ending error if any.
struct Piece {
  std::string out;
  std::string notice;
  std::optional<RunError> error;
  std::optional<Scanned> scanned;  // none for a notice, an error, a file gone
  std::string log;
  std::string file_id;  // a document's entry: its file's id
};

// How results are written: the format and what it needs.
struct OutputPlan {
  OutputFormat format = OutputFormat::kRecords;
  bool copyrights = false;  // -y
  bool listed = false;      // --files-from: paths identify files in documents
};

// Returns what the run's tally counts of `result`: its verdict, none when
// it has no record or its license is empty (or "None" with -y).
Scanned scanned_file(const std::string& path, const FileResult& result,
                     const RunSettings& settings) {
  Scanned scanned{path, std::nullopt, false};
  if (!result.record || result.record->license.empty()) return scanned;
  const FileRecord& record = *result.record;
  if (!record.spdx && record.license == "None" && (settings.setting & SETTING_COPYRIGHT)) {
    return scanned;
  }
  scanned.license = record.license;
  scanned.expression = record.spdx && settings.spdx_expressions;
  return scanned;
}

// Items handed to a worker at once (fewer locks per file); one under -dd,
// whose logs are large.
constexpr std::size_t kBatchItems = 32;
// Workers at most under -dd.
constexpr std::size_t kVerboseJobs = 4;
// Output waiting for its turn, beyond one batch per worker.
constexpr std::size_t kWaitingBytes = 4 << 20;

using Emit = std::function<bool(Item)>;

// Returns the result of one item; never fails (errors are values). A file
// that cannot be opened ends the run, or with `keep_going` gives a notice.
Piece process(const RuleSet& rules, const OutputPlan& plan, const Item& item, bool keep_going,
              TargetScores* scores) {
  if (!item.notice.empty()) return Piece{{}, item.notice, {}, {}, {}, {}};
  const bool document = is_document(plan.format);
  std::string text;
  Sha1 whole;
  if (item.read ? !item.text : !try_read_text_file(item.path, &text, document ? &whole : nullptr)) {
    const int err = item.read ? item.read_errno : errno;
    if (!item.read && item.walked && err == ENOENT) return Piece{};  // gone meanwhile
    if (keep_going) return Piece{{}, path_message(item.path, err), {}, {}, {}, {}};
    return Piece{{}, {}, cannot_read_error(item.path), {}, {}, {}};
  }
  FileResult result = analyze(rules, item.path, item.read ? *item.text : text, scores);
  std::optional<Scanned> scanned;
  if (!result.error) scanned = scanned_file(item.path, result, rules.settings);
  if (plan.format == OutputFormat::kRecords) {
    return Piece{result_output(&result, rules.settings),
                 {},
                 std::move(result.error),
                 std::move(scanned),
                 {},
                 {}};
  }
  Piece piece{{}, {}, std::move(result.error), std::move(scanned), std::move(result.log), {}};
  if (piece.error) return piece;
  if (!result.record) {
    piece.log += "Can't open license folder: " + rules.settings.licensedir + "\n";
    return piece;
  }
  const FileRecord& record = *result.record;
  switch (plan.format) {
    case OutputFormat::kJsonl:
      piece.out = jsonl_line(record, plan.copyrights);
      break;
    case OutputFormat::kCsv:
      piece.out = csv_line(record);
      break;
    default: {
      std::string sha1 = item.sha1;
      if (!item.read) {
        const std::array<unsigned char, 20> digest = whole.digest();
        sha1 = to_hex(digest.data(), digest.size());
      }
      const std::string name = document_file_name(item.path, item.root_length);
      piece.file_id = document_file_id(plan.listed ? item.path : name);
      piece.out = plan.format == OutputFormat::kSpdxJson
                      ? spdx_file_entry(record, name, piece.file_id, sha1, plan.copyrights)
                      : cyclonedx_component(record, piece.file_id, sha1, plan.copyrights);
    }
  }
  return piece;
}

// The item of a file found by the walk: opened later by its path, or, when
// the path is too long for that, read now relative to its directory (a file
// gone since the listing then gives no item: false).
bool walked_item(const WalkedFile& file, std::size_t root_length, bool hash, Item* item) {
  *item = Item{file.path, {}, true, false, std::nullopt, 0, {}, root_length};
  if (file.path.size() < PATH_MAX) return true;
  std::string text;
  item->read = true;
  Sha1 whole;
  if (try_read_text_file_at(file.dir_fd, file.name, &text, hash ? &whole : nullptr)) {
    item->text = std::move(text);
    const std::array<unsigned char, 20> digest = whole.digest();
    if (hash) item->sha1 = to_hex(digest.data(), digest.size());
  } else if (errno == ENOENT) {
    return false;
  } else {
    item->read_errno = errno;
  }
  return true;
}

// The writer's account of the run, and a document's entries so far (each
// file once, by its id).
struct Writer {
  bool noticed = false;  // a notice was written: status 2
  LicenseGate gate;      // what the tally refuses
  bool summary = false;  // the tally counts files per license
  Tally tally;
  OutputPlan plan;
  std::vector<std::string> entries;  // blocks of about kEntryBlock bytes
  std::string ids;
  std::unordered_set<std::string> seen;
};

// A document's entries are kept in blocks of this size, so that they are
// never copied whole as they grow.
constexpr std::size_t kEntryBlock = 1 << 20;

// Writes `text` to standard output, or ends the run.
void write_out(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) output_failed(errno);
}

// Writes one piece and counts its file; returns false when it ended the
// run.
bool write_piece(const Piece& piece, Writer* writer) {
  if (!piece.log.empty()) {
    progress_erase();
    std::fputs(piece.log.c_str(), stderr);
  }
  if (piece.file_id.empty()) {
    write_out(piece.out);
  } else if (writer->seen.insert(piece.file_id).second) {  // a file listed twice: once
    if (writer->entries.empty() || writer->entries.back().size() >= kEntryBlock) {
      writer->entries.emplace_back().reserve(kEntryBlock + (1 << 12));
    }
    if (!writer->ids.empty()) writer->entries.back() += ",\n";
    writer->entries.back() += piece.out;
    writer->ids += piece.file_id;
  }
  if (piece.scanned) {
    count_file(writer->gate, piece.scanned->license, piece.scanned->expression, writer->summary,
               &writer->tally);
    progress_file(piece.scanned->path);
  }
  if (!piece.notice.empty()) {
    std::fflush(stdout);
    progress_erase();
    std::fputs(piece.notice.c_str(), stderr);
    writer->noticed = true;
  }
  if (piece.error) {
    write_error(*piece.error);
    return false;
  }
  return true;
}

// The message for a listed path that is no file or directory.
std::string neither_notice(const std::string& path) {
  struct stat st;
  if (::stat(path.c_str(), &st) != 0) return path_message(path, errno);
  return "tarsil: " + path + ": not a regular file or directory\n";
}

// Hands the run's items to `emit` in serial order: the target, or every
// path of `list` (empty entries skipped; one holding a NUL byte, which no
// name can, is "invalid argument"); a directory is walked. Returns
// false when `emit` stopped it.
bool produce(const CommandLine& line, FILE* list, bool hash, const Emit& emit) {
  const std::string& target = line.target;
  const bool null_separated = line.null_separated;
  std::size_t root_length = 0;  // of the target directory, with its slash
  const FileVisitor visit = [&](const WalkedFile& file) {
    Item item;
    return !walked_item(file, root_length, hash, &item) || emit(std::move(item));
  };
  if (list == nullptr) {
    if (is_regular_file(target)) {
      const std::size_t slash = target.rfind('/');
      const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
      return emit(Item{target, {}, false, false, std::nullopt, 0, {}, base});
    }
    root_length = target.size() + 1;
    return scan_tree(target, visit, line.excludes);
  }
  LineBuffer entry;
  ssize_t length;
  while ((length = getdelim(&entry.data, &entry.capacity, null_separated ? '\0' : '\n', list)) >
         0) {
    std::string path(entry.data, static_cast<std::size_t>(length));
    if (path.back() == (null_separated ? '\0' : '\n')) path.pop_back();
    if (path.empty()) continue;
    bool go_on;
    if (path.find('\0') != std::string::npos) {  // no file has such a name
      go_on = emit(notice_item(path, path_message(path.substr(0, path.find('\0')), EINVAL)));
    } else if (is_regular_file(path)) {
      go_on = emit(Item{path, {}, false, false, std::nullopt, 0, {}, 0});
    } else if (is_directory(path)) {
      go_on = scan_tree(path, visit, line.excludes);
    } else {
      go_on = emit(notice_item(path, neither_notice(path)));
    }
    if (!go_on) return false;
  }
  return true;
}

// The run with one job, in the calling thread; returns false when an error
// ended it.
bool run_serial(const RuleSet& rules, const CommandLine& line, FILE* list, Writer* writer) {
  TargetScores scores;
  const bool hash = is_document(writer->plan.format);
  return produce(line, list, hash, [&](const Item& item) {
    return write_piece(process(rules, writer->plan, item, line.keep_going, &scores), writer);
  });
}

using Pieces = std::vector<Piece>;
struct Batch {
  uint64_t number = 0;
  std::vector<Item> items;
};

// Ends the process with `status` at once, standard output flushed: other
// threads may still be running (one may wait on the list), and none of them
// writes.
[[noreturn]] void end_now(int status) {
  progress_erase();
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

// The run with rules.settings.jobs workers, a producer thread and this
// thread as the writer; returns true when complete. When an error ends it,
// the process ends here, the other threads left as they are.
bool run_parallel(const RuleSet& rules, const CommandLine& line, FILE* list, Writer* writer) {
  // Under -dd each file's log runs to megabytes and the one writer sets the
  // pace: a few workers keep it busy, and memory stays bounded.
  const bool verbose = (rules.settings.setting & SETTING_VERBOSE) != 0;
  const std::size_t jobs =
      std::min<std::size_t>(rules.settings.jobs, verbose ? kVerboseJobs : kMaxJobs);
  const std::size_t batch_items = verbose ? 1 : kBatchItems;
  WorkQueue<Batch> work(2 * jobs);
  ReorderBuffer<Pieces> done(4 * jobs + 4, kWaitingBytes);

  std::thread producer([&] {
    Batch batch;
    const bool hash = is_document(writer->plan.format);
    const bool complete = produce(line, list, hash, [&](Item item) {
      batch.items.push_back(std::move(item));
      if (batch.items.size() < batch_items) return true;
      const uint64_t number = batch.number;
      if (!work.push(std::move(batch))) return false;
      batch = Batch{number + 1, {}};
      return true;
    });
    if (!complete) return;
    const uint64_t total = batch.number + (batch.items.empty() ? 0 : 1);
    if (!batch.items.empty() && !work.push(std::move(batch))) return;
    done.set_total(total);
    work.close();
  });
  std::vector<std::thread> workers;
  for (std::size_t w = 0; w < jobs; ++w) {
    workers.emplace_back([&] {
      TargetScores scores;
      while (std::optional<Batch> batch = work.pop()) {
        Pieces pieces;
        std::size_t bytes = 0;
        for (const Item& item : batch->items) {
          pieces.push_back(process(rules, writer->plan, item, line.keep_going, &scores));
          bytes +=
              pieces.back().out.size() + pieces.back().notice.size() + pieces.back().log.size();
          if (pieces.back().error) break;  // nothing after it is written
        }
        if (!done.put(batch->number, std::move(pieces), bytes)) return;
      }
    });
  }
  const bool complete = drain_in_order<Pieces>(done, [&](Pieces& pieces) {
    for (const Piece& piece : pieces) {
      if (!write_piece(piece, writer)) return false;
    }
    return true;
  });
  if (!complete) end_now(1);
  producer.join();
  for (std::thread& worker : workers) worker.join();
  return true;
}

}  // namespace

int run(int argc, char** argv, Engine engine) {
  const auto start = std::chrono::steady_clock::now();
  // Records and log lines share standard output: buffer it generously.
  static char output_buffer[1 << 16];
  std::setvbuf(stdout, output_buffer, _IOFBF, sizeof output_buffer);

  if (argc < 2) fatal_stderr("ERROR: Missing path. Maybe you can use some --help\n");
  CommandLine line = parse_options(argc, argv);
  // The formats beside records read copyright statements as the JSON form does.
  if (line.format != OutputFormat::kRecords) line.settings.setting &= ~SETTING_PRETTY;
  resolve_rule_dirs(kStringCandidates, kLicenseCandidates, &line.settings);
  log_banner(line.settings);

  FilePtr list_file;
  FILE* list = nullptr;
  if (line.files_from) {
    if (*line.files_from == "-") {
      list = stdin;
    } else {
      list_file.reset(std::fopen(line.files_from->c_str(), "r"));
      if (!list_file) fatal_stderr(path_message(*line.files_from, errno));
      list = list_file.get();
    }
  } else if (!is_regular_file(line.target) && !is_directory(line.target)) {
    fatal_stderr(
        "ERROR: You must specify a valid file or directory.\n"
        "       Please check the built in --help\n");
  }

  const RuleSet rules(engine, line.settings);
  Writer writer;
  writer.gate = line.gate;
  writer.summary = line.summary;
  writer.plan = OutputPlan{line.format, (line.settings.setting & SETTING_COPYRIGHT) != 0,
                           line.files_from.has_value()};
  const std::string created = line.sbom_created ? *line.sbom_created : now_sbom_time();
  if (line.format == OutputFormat::kCsv) write_out(csv_header());
  progress_start();
  // One file needs no threads.
  const bool serial = line.settings.jobs == 1 || (list == nullptr && is_regular_file(line.target));
  const bool complete =
      serial ? run_serial(rules, line, list, &writer) : run_parallel(rules, line, list, &writer);
  if (!complete) end_now(1);
  progress_erase();
  if (is_document(line.format)) {
    write_sbom_document(line.format, line.files_from ? *line.files_from : line.target, created,
                        line.sbom_created.has_value(), writer.entries, writer.ids,
                        [](std::string_view text) { write_out(text); });
  }
  finish_output();
  if (line.summary) {
    const std::chrono::duration<double> seconds = std::chrono::steady_clock::now() - start;
    std::fputs(summary_table(writer.tally, seconds.count()).c_str(), stderr);
  }
  std::fputs(gate_message(writer.tally).c_str(), stderr);
  // A refused license is the answer a gate asks for; notices of paths not
  // read (status 2) are on standard error beside it.
  return gate_failed(writer.tally) ? 3 : writer.noticed ? 2 : 0;
}

}  // namespace tarsil
