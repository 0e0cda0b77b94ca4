#!/usr/bin/env bash
# SPDX-License-Identifier: GPL-3.0-or-later
# Builds the fuzz targets (Clang's libFuzzer, with ASan and UBSan; the preset "fuzz" in build-fuzz/)
# and runs each for SECONDS on all cores, starting from seed corpora made of the test data.
# Findings are kept in build-fuzz/funde/; the corpora grow in build-fuzz/korpus/.
# Usage: scripts/fuzz.sh SECONDS [TARGET ...]   (targets: textToReal tokenReader koordinaten
#        polarauswertung formatText ply las textwolke; default all)
set -euo pipefail
cd "$(dirname "$0")/.."
sekunden=${1:?"Aufruf: scripts/fuzz.sh SEKUNDEN [ZIEL ...]"}
shift
ziele=("$@")
[ ${#ziele[@]} -gt 0 ] || ziele=(textToReal tokenReader koordinaten polarauswertung formatText ply las textwolke)

./scripts/setup.sh clang libclang-rt-14-dev
./scripts/build.sh fuzz

# The targets' files go into one folder (in memory where there is /dev/shm), removed when this
# script ends however it ends: libFuzzer stops its workers without letting them clean up.
# Folders that earlier runs left (killed, so that their trap never ran) go as well: this
# script's own ones name its process ("zentrix_fuzz_<pid>.XXXXXX"), and one is left alone while
# that process lives or any process still has it as its folder; older ones ("zentrix_fuzz.XXXXXX",
# "zentrix_fuzz_<pid>") by the same rule.
basis=/dev/shm
[ -d "$basis" ] || basis="${TMPDIR:-/tmp}"
for alt in "$basis"/zentrix_fuzz_[0-9]* "$basis"/zentrix_fuzz.*; do
  [ -d "$alt" ] && [ -O "$alt" ] || continue
  pid="${alt#"$basis"/zentrix_fuzz}"
  pid="${pid#_}"
  pid="${pid%%.*}"
  if [ -n "$pid" ] && [ -z "${pid//[0-9]/}" ] && kill -0 "$pid" 2>/dev/null; then continue; fi
  if grep -qsxF -z "ZENTRIX_FUZZ_ORDNER=$alt" /proc/[0-9]*/environ; then continue; fi
  rm -rf "$alt"
done
ZENTRIX_FUZZ_ORDNER="$(mktemp -d "$basis/zentrix_fuzz_$$.XXXXXX")"
export ZENTRIX_FUZZ_ORDNER
trap 'rm -rf "$ZENTRIX_FUZZ_ORDNER"' EXIT

# Seeds: each file of the test data, with the byte in front that chooses the data format, or the
# solver and the way in, and a few number texts.
korpus=build-fuzz/korpus
mkdir -p "$korpus" build-fuzz/funde
seed() {  # seed ZIEL NAME PRÄFIX DATEI
  mkdir -p "$korpus/$1"
  { printf '%b' "$3"; cat "$4"; } > "$korpus/$1/seed-$2"
}
for datei in tests/data/koordinaten/*; do
  name=$(basename "$datei")
  for f in 0 1 2 3 4 5 6 7; do seed koordinaten "$f-$name" "\\x3$f" "$datei"; done
  seed tokenReader "$name" '\x00\x02\x02\x02\x02\x03\x01\x02\x02\x02\x02\x03\x04\x06\x05\x03' "$datei"
done
for datei in tests/data/beobachtungen/* tests/data/konvert/*; do
  name=$(basename "$datei")
  for art in 00 01 12 11; do seed polarauswertung "$art-$name" "\\x$art" "$datei"; done
done
mkdir -p "$korpus/textToReal" "$korpus/formatText"
for zahl in 2.00 " 3.642 " -1.5E3 3,642 . 5E +.5 1e308 1.79769313486232E308 0x10 12abc; do
  printf '%s' "$zahl" > "$korpus/textToReal/seed-$(printf '%s' "$zahl" | md5sum | cut -c1-8)"
done
printf '%%16s, vR %%5.4f NV %%4.1f\x03\x01\x02\x00abc' > "$korpus/formatText/seed-1"
printf '%%*d %%-*s|\x04\x00\x00\x01\x02' > "$korpus/formatText/seed-2"
# Point clouds: the first lines of the test scan as text, and small PLY (ascii, both byte orders,
# with a list and an element before the vertices) and LAS files (1.2 and 1.4, two point formats).
mkdir -p "$korpus/textwolke" "$korpus/ply" "$korpus/las"
head -c 2000 tests/scan/daten/kugel_vor_rohr.txt > "$korpus/textwolke/seed-scan"
printf '3\n1.5,2.5,3.5,7\n4;5;6\n# x\n7\t8\t9 255 0 0\r\n' > "$korpus/textwolke/seed-pts"
python3 - "$korpus" <<'PY'
import struct, sys
k = sys.argv[1]
def ply(fmt, e):
    h = ("ply\nformat %s 1.0\nelement face 1\nproperty list uchar int i\nelement vertex 2\n"
         "property float x\nproperty double y\nproperty float z\nproperty list uchar short n\nend_header\n" % fmt).encode()
    if fmt == "ascii":
        return h + b"2 0 1\n1.5 2.5 3.5 1 7\n4 5 6 0\n"
    return h + struct.pack(e + "Bii", 2, 0, 1) + struct.pack(e + "fdfBh", 1.5, 2.5, 3.5, 1, 7) + struct.pack(e + "fdfB", 4, 5, 6, 0)
for n, (fmt, e) in enumerate([("ascii", "<"), ("binary_little_endian", "<"), ("binary_big_endian", ">")]):
    open("%s/ply/seed-%d" % (k, n), "wb").write(ply(fmt, e))
def las(minor, f, laenge):
    kopf = 375 if minor >= 4 else 227
    h = bytearray(kopf)
    h[0:4] = b"LASF"; h[24] = 1; h[25] = minor
    struct.pack_into("<HIxxxxBHI", h, 94, kopf, kopf, f, laenge, 0 if minor >= 4 else 2)
    struct.pack_into("<6d", h, 131, 0.001, 0.001, 0.001, 1000.0, 2000.0, 0.0)
    if minor >= 4: struct.pack_into("<Q", h, 247, 2)
    return bytes(h) + b"".join(struct.pack("<3i", x, -x, 2 * x) + bytes(laenge - 12) for x in (1500, -2500))
open(k + "/las/seed-12", "wb").write(las(2, 1, 28))
open(k + "/las/seed-14", "wb").write(las(4, 6, 30))
PY

for ziel in "${ziele[@]}"; do
  echo "== fuzz_$ziel ($sekunden s)"
  log=build-fuzz/fuzz_$ziel.log
  # An observation file of 300 bytes holds a sphere or two and the lines around them: longer ones
  # only repeat that, at the cost of every run.
  laenge=()
  [ "$ziel" != polarauswertung ] || laenge=(-max_len=300)
  ./build-fuzz/fuzz/fuzz_"$ziel" "$korpus/$ziel" -fork="$(nproc)" -max_total_time="$sekunden" "${laenge[@]}" \
    -artifact_prefix=build-fuzz/funde/"$ziel"- > "$log" 2>&1 || { tail -n 30 "$log"; exit 1; }
  grep -E '^#[0-9]+' "$log" | tail -n 1
done
