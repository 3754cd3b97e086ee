#!/bin/bash
# CUPS backend for the test queue: keeps every job's document as
# <state>/out/<job-id>.pdf so that the tests can read what was printed.
# CUPS calls it as: backend job-id user title copies options [file]

if (($# == 0)); then
    # Device discovery.
    echo 'direct velkrin-capture "Unknown" "Velkrin test capture"'
    exit 0
fi
if (($# < 5)); then
    echo "ERROR: usage: $0 job-id user title copies options [file]" >&2
    exit 1
fi

state=$(cd "$(dirname "$(readlink -f "$0")")/../.." && pwd)
out="$state/out"
mkdir -p "$out"
tmp="$out/.job-$1.part"
if (($# >= 6)); then
    cat -- "$6" >"$tmp" || exit 1
else
    cat >"$tmp" || exit 1
fi
chmod 0644 "$tmp"
# Renamed only when complete: a test never reads half a document.
mv -f "$tmp" "$out/$1.pdf" || exit 1
echo "INFO: kept job $1 as $out/$1.pdf" >&2
exit 0
