// One run of tarsil, from the argument vector to the exit status.
//
// Contract: `run` checks for a path argument, resets the settings to their
// defaults, reads the options, resolves the rule directories (strings
// first), logs the banner, and dispatches on the target: a regular file is
// read and identified, a directory is scanned. It returns 0 after a complete
// run; every failure ends the process where it happens with its message and
// status 1 (no path: "ERROR: Missing path. Maybe you can use some --help";
// a target neither file nor directory: "ERROR: You must specify a valid
// file or directory." and a hint, both on standard error).
#ifndef TARSIL_CLI_RUN_H_
#define TARSIL_CLI_RUN_H_

namespace tarsil {

int run(int argc, char** argv);

}  // namespace tarsil

#endif  // TARSIL_CLI_RUN_H_
