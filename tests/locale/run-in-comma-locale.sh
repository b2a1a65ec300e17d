#!/usr/bin/env bash
# Runs one test program under a locale whose decimal separator is a comma, as most of Europe
# has; the program's numbers must read and print the same as in the C locale.
set -euo pipefail
if ! locale -a 2>/dev/null | grep -qix 'de_DE\.utf-\?8'; then
    echo "the de_DE.UTF-8 locale is missing: make deps generates it" >&2
    exit 1
fi
export LANG=de_DE.UTF-8 LC_ALL=de_DE.UTF-8 VANTOREL_TEST_COMMA_LOCALE=1
exec "$@"
