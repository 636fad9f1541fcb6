#!/usr/bin/env bash
# Runs one fuzz target for a short time over its seed folders (those that
# exist), in a scratch corpus so the committed seeds stay as they are.
set -euo pipefail
target=$1 seconds=$2
shift 2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
seeds=()
for d in "$@"; do [ -d "$d" ] && seeds+=("$d"); done
mkdir -p "$work/corpus"
"$target" -max_total_time="$seconds" -timeout=10 -rss_limit_mb=2048 -print_final_stats=1 \
  "$work/corpus" "${seeds[@]}"
