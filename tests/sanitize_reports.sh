#!/bin/bash
# Prints every sanitizer report in DIR and fails if there is one.
#
#   sanitize_reports.sh DIR
set -u

if [ $# -ne 1 ]; then
    echo "usage: sanitize_reports.sh DIR" >&2
    exit 2
fi
shopt -s nullglob
reports=("$1"/*)
for r in "${reports[@]}"; do
    echo "=== ${r##*/} (sanitizer and process id)"
    cat "$r"
done
if [ "${#reports[@]}" -gt 0 ]; then
    echo "${#reports[@]} sanitizer report(s) in $1" >&2
    exit 1
fi
echo "no sanitizer reports"
