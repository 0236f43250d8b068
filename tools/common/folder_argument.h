// folder_argument.h -- the command line of an asset maker that takes one output folder
// and nothing else: `--help` prints the usage, anything else but one folder is a
// one-line error.
#pragma once

#include <cstdio>
#include <cstring>

// Returns -1 when argv holds one operand that is not an option: the folder. Otherwise
// prints the usage (for --help; returns 0) or a one-line error naming the tool and
// the operand (returns 2); the tool then exits with what it returned.
inline int checkFolderArgument(int argc, char** argv, const char* tool, const char* operand,
                               const char* usage) {
  if (argc == 2 && std::strcmp(argv[1], "--help") == 0) {
    std::fputs(usage, stdout);
    return 0;
  }
  if (argc != 2) {
    std::fprintf(stderr, "%s: give exactly one %s (see --help)\n", tool, operand);
    return 2;
  }
  if (argv[1][0] == '-') {
    std::fprintf(stderr, "%s: unknown option %s (see --help)\n", tool, argv[1]);
    return 2;
  }
  return -1;
}
