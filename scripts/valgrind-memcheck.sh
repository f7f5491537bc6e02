#!/bin/sh
# Runs a program under valgrind's memcheck; any memory error or definite leak fails it (99).
# valgrind's own report goes to a file of its own (VALGRIND_LOG_DIR, default /tmp), so the
# program's standard error stays exactly what the program wrote.
dir=${VALGRIND_LOG_DIR:-/tmp}
exec valgrind --error-exitcode=99 --leak-check=full --errors-for-leak-kinds=definite \
  --log-file="$dir/valgrind.%p.log" "$@"
