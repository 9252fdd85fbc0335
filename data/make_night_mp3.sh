#!/usr/bin/env bash
# Encodes the night chime (written by the sound generator) as the MP3 sample
# data/samples/07-night.mp3. Needs Debian's lame, a one-off tool not needed
# to build or run the viewer.
# Usage: data/make_night_mp3.sh GENERATOR DATADIR
set -euo pipefail
generator=$1
datadir=$2
command -v lame >/dev/null || { echo "make_night_mp3: install lame first" >&2; exit 1; }
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
"$generator" --chime "$tmp/night.wav"
lame --quiet -m m -b 48 --resample 22.05 --noreplaygain "$tmp/night.wav" "$datadir/samples/07-night.mp3"
echo "wrote $datadir/samples/07-night.mp3"
