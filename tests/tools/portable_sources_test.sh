#!/usr/bin/env bash
# The window's folders build on Windows where Qt for Windows is installed, which these machines
# cannot try: so none of them may include a POSIX-only header or call a POSIX-only function. The
# folders the cross build compiles for Windows need no such check.
#
#   portable_sources_test.sh SRC_DIR
set -euo pipefail

cd "$1"
posix_headers='unistd|termios|fcntl|poll|pwd|grp|netdb|dirent|spawn|dlfcn|libudev|sys/[a-z_]+|arpa/[a-z_]+|netinet/[a-z_]+'
posix_calls='gmtime_r|localtime_r|getuid|geteuid|isatty|fork|setenv|unsetenv|getpid'
found=$(grep -rnE "#include <($posix_headers)\.h>|\b($posix_calls)\(" \
    app form operations port_dialog protocol catalogue || true)
if [ -n "$found" ]; then
    echo "FAILED: the window's sources use what only POSIX has:" >&2
    echo "$found" >&2
    exit 1
fi
