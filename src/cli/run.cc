// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
#include "cli/run.h"

#include <limits.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <functional>
#include <thread>
#include <unordered_set>
#include <variant>
#include <vector>

#include "analysis/identify.h"
#include "cli/messages.h"
#include "cli/options.h"
#include "cli/pipeline.h"
#include "cli/progress.h"
#include "cli/rule_dirs.h"
#include "cli/tally.h"
#include "fs/file_type.h"
#include "fs/handles.h"
#include "fs/read.h"
#include "fs/walk.h"
#include "output/formatter.h"
#include "output/sbom.h"

namespace tarsil {
namespace {

// Ends the run after a write to standard output failed with `err`, at once:
// when the reader has gone (EPIPE), silently, by SIGPIPE, as if the signal
// had not been ignored; otherwise with "ERROR: Cannot write output:
// <reason>" on standard error and status 1.
[[noreturn]] void output_failed(int err) {
  progress_erase();
  if (err == EPIPE) {
    std::signal(SIGPIPE, SIG_DFL);
    std::raise(SIGPIPE);
  }
  std::fprintf(stderr, "ERROR: Cannot write output: %s\n", std::strerror(err));
  std::_Exit(1);  // standard output is broken: no flush at exit
}

// Writes `text` to standard output, or ends the run.
void write_out(std::string_view text) {
  if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size()) output_failed(errno);
}

// Writes `text` to standard error, the progress line erased first and, with
// `flush`, standard output flushed (so that what came before it stays
// before it).
void write_err(std::string_view text, bool flush = true) {
  if (text.empty()) return;
  if (flush && std::fflush(stdout) != 0) output_failed(errno);
  progress_erase();
  std::fwrite(text.data(), 1, text.size(), stderr);
}

// Flushes standard output, or ends the run.
void finish_output() {
  if (std::fflush(stdout) != 0 || std::ferror(stdout)) output_failed(errno != 0 ? errno : EIO);
}

// Writes a message on its stream; with `to_stderr` a message bound for
// standard output goes to standard error instead.
void write_message(const Message& message, bool to_stderr) {
  if (message.stream == Stream::kStdout && !to_stderr) {
    write_out(message.text);
    finish_output();
  } else {
    write_err(message.text);
  }
}

// Ends the process with `status` at once, standard output flushed: other
// threads may still be running (one may wait on the list), and none of them
// writes.
[[noreturn]] void end_now(int status) {
  progress_erase();
  std::fflush(stdout);
  std::fflush(stderr);
  std::_Exit(status);
}

// One step of the run in serial order: a regular file to analyse, or a listed
// path that is neither file nor directory (then `notice` is its message).
// Each notice makes the run end with status 2.
struct Item {
  std::string path{};
  std::string notice{};
  // Found by the walk: a file removed since its directory was listed is
  // passed over, as one removed before.
  bool walked = false;
  // For a path too long to be opened by name, the walk reads the file at
  // once, relative to its directory: its text, or nothing when unreadable.
  bool read = false;
  std::optional<std::string> text{};
  int read_errno = 0;  // why `text` is missing
  std::string sha1{};  // with `text`, for the documents: the whole file's hash
  // The bytes of `path` above the target directory (documents name files
  // below it); 0 with --files-from.
  std::size_t root_length = 0;
  bool standard_input = false;  // the operand "-": the text comes from standard input
};

// What the writer writes for one item: its log lines (with records, on
// standard output before its text; else on standard error), its text (or
// a document's entry, kept for the end), then the notice on standard error,
// then the run-ending error if any.
struct Piece {
  std::string log{};
  FormattedFile out{};
  std::string notice{};
  std::optional<Status> error{};
  // The file's verdict for the tally and the progress line: none for a
  // notice, an error or a file gone.
  bool counted = false;
  std::string path{};
  std::string license{};
  std::optional<Expression> expression{};
};

// What a run shares with its workers: read-only once the work starts.
struct Context {
  const RuleSet& rules;
  const RunSettings& settings;
  const Formatter& formatter;
  bool keep_going = false;
};

// Items handed to a worker at once (fewer locks per file); one under -dd,
// whose logs are large.
constexpr std::size_t kBatchItems = 32;
// Workers at most under -dd.
constexpr std::size_t kVerboseJobs = 4;
// Output waiting for its turn, beyond one batch per worker.
constexpr std::size_t kWaitingBytes = 4 << 20;

using Emit = std::function<bool(Item)>;

// Returns the result of one item; never fails (errors are values). A file
// that cannot be opened ends the run, or with keep_going gives a notice.
Piece process(const Context& run, const Item& item, Scorer& scorer) {
  if (!item.notice.empty()) return Piece{.notice = item.notice};
  const bool hash = run.formatter.hashes_files();
  std::string text;
  Sha1 whole;
  if (item.standard_input) {
    read_text_stream(STDIN_FILENO, &text, hash ? &whole : nullptr);
  } else if (item.read ? !item.text
                       : !try_read_text_file(item.path, &text, hash ? &whole : nullptr)) {
    const int err = item.read ? item.read_errno : errno;
    if (!item.read && item.walked && err == ENOENT) return Piece{};  // gone meanwhile
    if (run.keep_going) return Piece{.notice = path_message(item.path, err)};
    return Piece{.error = error_status(StatusCode::kCannotRead, item.path)};
  }
  FileResult result =
      analyze(run.rules, run.settings, scorer, item.path, item.read ? *item.text : text);
  Piece piece{.log = std::move(result.log), .error = std::move(result.error)};
  if (piece.error) return piece;
  piece.counted = true;
  piece.path = item.path;
  if (!result.licenses_open) {  // counted as a file without a verdict
    piece.log += license_folder_message(run.rules.licensedir);
    return piece;
  }
  FileContext context{.root_length = item.root_length, .sha1 = item.sha1};
  if (hash && !item.read) {
    const std::array<unsigned char, 20> digest = whole.digest();
    context.sha1 = to_hex(digest.data(), digest.size());
  }
  piece.out = run.formatter.file(result, context);
  piece.license = result.verdict.license;
  piece.expression = std::move(result.expression);
  return piece;
}

// The item of a file found by the walk: opened later by its path, or, when
// the path is too long for that, read now relative to its directory (a file
// gone since the listing then gives no item: false).
bool walked_item(const WalkedFile& file, std::size_t root_length, bool hash, Item* item) {
  *item = Item{.path = file.path, .walked = true, .root_length = root_length};
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

// A document's entries are kept in blocks of this size, so that they are
// never copied whole as they grow.
constexpr std::size_t kEntryBlock = 1 << 20;

// The writer's account of the run, and a document's entries so far (each
// file once, by its id).
struct Writer {
  bool log_on_stdout = true;
  bool noticed = false;  // a notice was written: status 2
  LicenseGate gate{};    // what the tally refuses
  bool summary = false;  // the tally counts files per license
  Tally tally{};
  std::vector<std::string> entries{};
  std::string ids{};
  std::unordered_set<std::string> seen{};
};

// Writes one piece and counts its file; returns false when it ended the
// run.
bool write_piece(const Piece& piece, Writer* writer) {
  if (writer->log_on_stdout) {
    write_out(piece.log);
  } else {
    write_err(piece.log, false);
  }
  if (piece.out.entry_id.empty()) {
    write_out(piece.out.text);
  } else if (writer->seen.insert(piece.out.entry_id).second) {  // a file listed twice: once
    if (writer->entries.empty() || writer->entries.back().size() >= kEntryBlock) {
      writer->entries.emplace_back().reserve(kEntryBlock + (1 << 12));
    }
    if (!writer->ids.empty()) writer->entries.back() += ",\n";
    writer->entries.back() += piece.out.text;
    writer->ids += piece.out.entry_id;
  }
  if (piece.counted) {
    count_file(writer->gate, piece.expression ? &*piece.expression : nullptr, piece.license,
               writer->summary, &writer->tally);
    progress_file(piece.path);
  }
  if (!piece.notice.empty()) {
    write_err(piece.notice);
    writer->noticed = true;
  }
  if (piece.error) {
    write_message(status_message(*piece.error), !writer->log_on_stdout);
    return false;
  }
  return true;
}

// The message for a listed path that is no file or directory.
std::string neither_notice(const std::string& path, const PathKind& kind) {
  if (kind.kind == FileKind::kMissing) return path_message(path, kind.stat_errno);
  return "tarsil: " + path + ": not a regular file or directory\n";
}

// Hands the run's items to `emit` in serial order: each operand, or every
// path of `list` (empty entries skipped; one holding a NUL byte, which no
// name can, is "invalid argument", the first one with a hint). A regular
// file is one item, a directory is walked, any other path is a notice; the
// operand "-" is standard input. Returns false when `emit` stopped it.
bool produce(const CommandLine& line, FILE* list, bool hash, const Emit& emit) {
  std::size_t root_length = 0;  // of the directory walked, with its slash
  const FileVisitor visit = [&](const WalkedFile& file) {
    Item item;
    return !walked_item(file, root_length, hash, &item) || emit(std::move(item));
  };
  // A path as an operand (documents name its files below it) or as a listed
  // path (documents name files by their paths).
  const auto path_items = [&](const std::string& path, bool operand) {
    if (operand && path == "-") return emit(Item{.path = path, .standard_input = true});
    const PathKind kind = file_kind(path);
    if (kind.kind == FileKind::kRegular) {
      const std::size_t slash = path.rfind('/');
      const std::size_t base = slash == std::string::npos ? 0 : slash + 1;
      return emit(Item{.path = path, .root_length = operand ? base : 0});
    }
    if (kind.kind == FileKind::kDirectory) {
      root_length = operand ? path.size() + 1 : 0;
      return scan_tree(path, visit, line.excludes);
    }
    return emit(Item{.path = path, .notice = neither_notice(path, kind)});
  };
  if (list == nullptr) {
    for (const std::string& operand : line.operands) {
      if (!path_items(operand, true)) return false;
    }
    return true;
  }
  const char end = line.null_separated ? '\0' : '\n';
  bool hinted = false;  // the hint about NUL bytes was given
  LineBuffer entry;
  ssize_t length;
  while ((length = getdelim(&entry.data, &entry.capacity, end, list)) > 0) {
    std::string path(entry.data, static_cast<std::size_t>(length));
    if (path.back() == end) path.pop_back();
    if (path.empty()) continue;
    bool go_on;
    if (const std::size_t nul = path.find('\0'); nul != std::string::npos) {
      std::string notice = hinted ? "" : nul_entries_message(*line.files_from);
      hinted = true;
      go_on =
          emit(Item{.path = path, .notice = notice + path_message(path.substr(0, nul), EINVAL)});
    } else {
      go_on = path_items(path, false);
    }
    if (!go_on) return false;
  }
  return true;
}

// The run with one job, in the calling thread; returns false when an error
// ended it.
bool run_serial(const Context& run, const CommandLine& line, FILE* list, Writer* writer) {
  const std::unique_ptr<Scorer> scorer = make_scorer(run.rules, run.settings);
  return produce(line, list, run.formatter.hashes_files(), [&](const Item& item) {
    return write_piece(process(run, item, *scorer), writer);
  });
}

using Pieces = std::vector<Piece>;
struct Batch {
  uint64_t number = 0;
  std::vector<Item> items{};
};

// The run with settings.jobs workers, a producer thread and this thread as
// the writer; returns true when complete. When an error ends it, the process
// ends here, the other threads left as they are.
bool run_parallel(const Context& run, const CommandLine& line, FILE* list, Writer* writer) {
  // Under -dd each file's log runs to megabytes and the one writer sets the
  // pace: a few workers keep it busy, and memory stays bounded.
  const bool verbose = (run.settings.setting & SETTING_VERBOSE) != 0;
  const std::size_t jobs =
      std::min<std::size_t>(run.settings.jobs, verbose ? kVerboseJobs : kMaxJobs);
  const std::size_t batch_items = verbose ? 1 : kBatchItems;
  WorkQueue<Batch> work(2 * jobs);
  ReorderBuffer<Pieces> done(4 * jobs + 4, kWaitingBytes);

  std::thread producer([&] {
    Batch batch;
    const bool complete = produce(line, list, run.formatter.hashes_files(), [&](Item item) {
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
      const std::unique_ptr<Scorer> scorer = make_scorer(run.rules, run.settings);
      while (std::optional<Batch> batch = work.pop()) {
        Pieces pieces;
        std::size_t bytes = 0;
        for (const Item& item : batch->items) {
          pieces.push_back(process(run, item, *scorer));
          const Piece& piece = pieces.back();
          bytes += piece.out.text.size() + piece.notice.size() + piece.log.size();
          if (piece.error) break;  // nothing after it is written
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

// A document's name: the list, or the operands joined by blanks.
std::string document_name(const CommandLine& line) {
  if (line.files_from) return *line.files_from;
  std::string name;
  for (const std::string& operand : line.operands) name += (name.empty() ? "" : " ") + operand;
  return name;
}

}  // namespace

int run(int argc, char** argv, Engine engine) {
  const auto start = std::chrono::steady_clock::now();
  // Records and log lines share standard output: buffer it generously.
  static char output_buffer[1 << 16];
  std::setvbuf(stdout, output_buffer, _IOFBF, sizeof output_buffer);

  if (argc < 2) {
    write_err(kMissingPath);
    return 1;
  }
  std::variant<CommandLine, OptionExit> parsed = parse_options(argc, argv);
  if (const OptionExit* exit = std::get_if<OptionExit>(&parsed)) {
    write_message(exit->message, false);
    return exit->status;
  }
  CommandLine& line = std::get<CommandLine>(parsed);
  RunSettings& settings = line.settings;
  const std::unique_ptr<Formatter> formatter = make_formatter(
      line.format,
      FormatOptions{.pretty = (settings.setting & SETTING_PRETTY) != 0,
                    .copyrights = (settings.setting & SETTING_COPYRIGHT) != 0,
                    .document_name = document_name(line),
                    .created = line.sbom_created ? *line.sbom_created : now_sbom_time(),
                    .pinned = line.sbom_created.has_value(),
                    .listed = line.files_from || line.operands.size() > 1});
  const bool to_stderr = !formatter->log_on_stdout();
  const auto write_log = [to_stderr](const std::string& text) {
    if (to_stderr) {
      write_err(text);
    } else {
      write_out(text);
    }
  };
  DebugLog log{settings.setting, {}};
  const Status dirs = resolve_rule_dirs(kStringCandidates, kLicenseCandidates, program_directory(),
                                        &settings, &log);
  write_log(log.text);
  if (!dirs.ok()) {
    write_message(status_message(dirs), to_stderr);
    return 1;
  }
  if (settings.setting & SETTING_DEBUG) write_log(banner_text(settings));

  FilePtr list_file;
  FILE* list = nullptr;
  if (line.files_from) {
    if (*line.files_from == "-") {
      list = stdin;
    } else {
      list_file.reset(std::fopen(line.files_from->c_str(), "r"));
      if (!list_file) {
        write_err(path_message(*line.files_from, errno));
        return 1;
      }
      list = list_file.get();
    }
  } else if (line.operands.size() == 1 && line.operands[0] != "-" &&
             !is_regular_file(line.operands[0]) && !is_directory(line.operands[0])) {
    write_err(kInvalidTarget);  // several operands: a notice for each such one
    return 1;
  }

  const std::unique_ptr<const RuleSet> rules = load_rule_set(
      settings.licensedir, settings.stringdir, engine, settings.minbytes, settings.minwords);
  const Context context{.rules = *rules,
                        .settings = settings,
                        .formatter = *formatter,
                        .keep_going = line.keep_going};
  Writer writer{.log_on_stdout = !to_stderr, .gate = line.gate, .summary = line.summary};
  write_out(formatter->begin());
  progress_start();
  // One file needs no threads.
  const bool serial =
      settings.jobs == 1 || (list == nullptr && line.operands.size() == 1 &&
                             (line.operands[0] == "-" || is_regular_file(line.operands[0])));
  const bool complete = serial ? run_serial(context, line, list, &writer)
                               : run_parallel(context, line, list, &writer);
  if (!complete) end_now(1);
  progress_erase();
  formatter->end(writer.entries, writer.ids, [](std::string_view text) { write_out(text); });
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
