// SPDX-License-Identifier: Apache-2.0
// Copyright 2026 The tarsil authors
// The bash completion script, written from the option table (flags.h).
#include "cli/flags.h"

namespace tarsil {
namespace {

// The option words completing to `kind` ("-r | --ruledir"), or "" for none.
std::string words_for(CompleteWith kind, bool with_values) {
  std::string words;
  for (const Flag& flag : kFlags) {
    if (!flag.offered || flag.complete != kind || flag.takes_value != with_values) continue;
    for (const std::string& form :
         {flag.letter ? std::string("-") + flag.letter : std::string(),
          flag.name.empty() ? std::string() : "--" + std::string(flag.name)}) {
      if (!form.empty()) words += (words.empty() ? "" : " | ") + form;
    }
  }
  return words;
}

// Every option word offered: long forms, then short ones.
std::string option_words() {
  std::string longs, shorts;
  for (const Flag& flag : kFlags) {
    if (!flag.offered) continue;
    if (!flag.name.empty()) longs += (longs.empty() ? "--" : " --") + std::string(flag.name);
    if (flag.letter != 0) shorts += std::string(" -") + flag.letter;
  }
  return longs + shorts;
}

std::string format_words() {
  std::string words;
  for (const std::string_view name : kFormatNames) {
    words += (words.empty() ? "" : " ") + std::string(name);
  }
  return words;
}

constexpr std::string_view kHead = R"(# SPDX-License-Identifier: Apache-2.0
# Copyright 2026 The tarsil authors
# bash completion for tarsil, installed as share/bash-completion/completions/tarsil.
# Written by the build from tarsil's option table. Completes the options; a
# directory after -r/--ruledir; a file (or -) after --files-from; the formats
# after --format; the rule set's SPDX ids after --fail-on and --allow (the
# last item of the comma-separated list, from the -r directory given, else
# the default rule locations); files and directories elsewhere. Needs nothing
# but bash itself (not the bash-completion helpers).

_tarsil_ids() {
  # The licenses.d directory names of the rule set this command line would use.
  local root="" i
  for ((i = 1; i < ${#COMP_WORDS[@]} - 1; i++)); do
    case ${COMP_WORDS[i]} in
      -r | --ruledir)
        root=${COMP_WORDS[i + 1]}
        [[ $root == = ]] && root=${COMP_WORDS[i + 2]}
        ;;
      --ruledir=*) root=${COMP_WORDS[i]#--ruledir=} ;;
    esac
  done
  if [[ -z $root ]]; then
    for root in /kelmor/etc/tarsil_rules /etc/kelmor/tarsil_rules; do
      [[ -d $root/licenses.d ]] && break
    done
  fi
  root=${root/#\~/$HOME}
  [[ -d $root/licenses.d ]] || return
  local dir
  for dir in "$root"/licenses.d/*/; do
    dir=${dir%/}
    printf '%s\n' "${dir##*/}"
  done
}

_tarsil() {
  local cur=${COMP_WORDS[COMP_CWORD]} prev=${COMP_WORDS[COMP_CWORD - 1]} prefix=""
  COMPREPLY=()
  # --option=value: one word when COMP_WORDBREAKS lacks '=' (the answers then
  # carry the option), else the words --option, = and value
  if [[ $cur == --*=* ]]; then
    prev=${cur%%=*}
    cur=${cur#*=}
    prefix=$prev=
  elif [[ $cur == = && $prev == --* ]]; then
    cur=""
  elif [[ $prev == = && $COMP_CWORD -ge 2 && ${COMP_WORDS[COMP_CWORD - 2]} == --* ]]; then
    prev=${COMP_WORDS[COMP_CWORD - 2]}
  fi
  case $prev in
)";

}  // namespace

std::string bash_completion() {
  std::string out(kHead);
  const auto arm = [&out](const std::string& words, std::string_view body) {
    if (!words.empty()) out += "    " + words + ")\n" + std::string(body) + "      ;;\n";
  };
  arm(words_for(CompleteWith::kDirectory, true),
      "      compopt -o filenames 2>/dev/null\n"
      "      mapfile -t COMPREPLY < <(compgen -d -- \"$cur\")\n");
  arm(words_for(CompleteWith::kFile, true),
      "      compopt -o filenames 2>/dev/null\n"
      "      mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n");
  arm(words_for(CompleteWith::kFormat, true),
      "      mapfile -t COMPREPLY < <(compgen -W '" + format_words() + "' -- \"$cur\")\n");
  arm(words_for(CompleteWith::kLicenseIds, true),
      "      local head=\"\" last=$cur\n"
      "      if [[ $cur == *,* ]]; then\n"
      "        head=${cur%,*},\n"
      "        last=${cur##*,}\n"
      "      fi\n"
      "      mapfile -t COMPREPLY < <(compgen -P \"$head\" -W \"$(_tarsil_ids)\" -- \"$last\")\n"
      "      compopt -o nospace 2>/dev/null\n");
  const std::string free_values = words_for(CompleteWith::kNothing, true);
  if (!free_values.empty()) out += "    " + free_values + ") ;;\n";
  out +=
      "    *)\n"
      "      if [[ $cur == -* ]]; then\n"
      "        mapfile -t COMPREPLY < <(compgen -W '" +
      option_words() +
      "' -- \"$cur\")\n"
      "      else\n"
      "        compopt -o filenames 2>/dev/null\n"
      "        mapfile -t COMPREPLY < <(compgen -f -- \"$cur\")\n"
      "      fi\n"
      "      ;;\n"
      "  esac\n"
      "  [[ -n $prefix ]] && COMPREPLY=(\"${COMPREPLY[@]/#/$prefix}\")\n"
      "  return 0\n"
      "}\n"
      "complete -F _tarsil tarsil\n";
  return out;
}

}  // namespace tarsil
