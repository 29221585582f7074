#include "cli/run.h"

#include <cstdio>

#include "analysis/identify.h"
#include "cli/options.h"
#include "cli/rule_dirs.h"
#include "cli/settings.h"
#include "match/text.h"
#include "walk/scan_tree.h"

namespace tarsil {

int run(int argc, char** argv) {
  // Records and log lines share standard output: buffer it generously.
  static char output_buffer[1 << 16];
  std::setvbuf(stdout, output_buffer, _IOFBF, sizeof output_buffer);

  if (argc < 2) fatal_stderr("ERROR: Missing path. Maybe you can use some --help\n");
  reset_run_settings();
  const std::string target = parse_options(argc, argv);
  resolve_rule_dirs(kStringCandidates, kLicenseCandidates);
  log_banner();

  if (is_regular_file(target)) {
    const std::string text = read_text_file(target);
    identify_license(target, text);
  } else if (is_directory(target)) {
    scan_tree(target);
  } else {
    fatal_stderr(
        "ERROR: You must specify a valid file or directory.\n"
        "       Please check the built in --help\n");
  }
  finish_output();
  return 0;
}

}  // namespace tarsil
