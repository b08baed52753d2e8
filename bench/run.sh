#!/usr/bin/env bash
# The benchmark in one command: builds the programs (Release), generates the
# sheets, times both programs' folder batch runs against their floors with a
# 24-bit and an 8-bit template, checks that peak memory stays flat in N, and
# prints the table of PNG writer settings with optipng -o2 -nx for size.
#
#   bench/run.sh [--n N] [--runs R] [--table-sheets K] [--no-table] [--no-rss]
#
#   --n N             sheets per program (default 200 chipsets and 200 character sheets)
#   --runs R          timed runs of each batch and floor; the median counts (default 3)
#   --table-sheets K  chipsets (and character sheets) in the settings table (default 10)
#   --no-table        skip the settings table and optipng
#   --no-rss          skip the N = 50 / N = 400 peak memory check
# Environment: BUILD (build folder, default build-bench), WORK (scratch folder,
# default /tmp/chipshift-bench). Needs cmake, ninja, hyperfine and jq; optipng optional.
set -euo pipefail

N=200 RUNS=3 TABLE_SHEETS=10 TABLE=1 RSS=1
while [ $# -gt 0 ]; do
    case "$1" in
        --n) N=$2; shift 2 ;;
        --runs) RUNS=$2; shift 2 ;;
        --table-sheets) TABLE_SHEETS=$2; shift 2 ;;
        --no-table) TABLE=0; shift ;;
        --no-rss) RSS=0; shift ;;
        *) sed -n '2,16p' "$0"; exit 64 ;;
    esac
done

ROOT=$(cd "$(dirname "$0")/.." && pwd)
BUILD=${BUILD:-$ROOT/build-bench}
WORK=${WORK:-/tmp/chipshift-bench}

bash "$ROOT/scripts/deps.sh" --bench
echo "== build ($BUILD, Release)"
cmake -S "$ROOT" -B "$BUILD" -G Ninja -DCMAKE_BUILD_TYPE=Release -DCHIPSHIFT_WINDOW=OFF >/dev/null
cmake --build "$BUILD" --target mapforge actorforge bench_make_sheets bench_floor bench_png_settings -j"$(nproc)" >/dev/null

echo "== machine: $(nproc) cores, $(grep -m1 'model name' /proc/cpuinfo | cut -d: -f2- | sed 's/^ *//')"

rm -rf "$WORK"
mkdir -p "$WORK"
"$BUILD/bench/bench_make_sheets" --chipsets "$N" --characters "$N" "$WORK/sheets"

# Each template lies beside its own copy of the programs, as moto.bmp.
for t in 24 8; do
    mkdir -p "$WORK/t$t"
    cp "$BUILD/apps/mapforge" "$BUILD/apps/actorforge" "$WORK/t$t/"
done
cp "$BUILD/apps/moto.bmp" "$WORK/t24/moto.bmp"
cp "$WORK/sheets/moto8.bmp" "$WORK/t8/moto.bmp"

bytes_in() { find "$1" -type f -name '*.png' -printf '%s\n' | awk '{s += $1} END {print s + 0}'; }
count_in() { find "$1" -type f -name '*.png' | wc -l; }
median() { sort -g | awk '{v[NR] = $1} END {print (NR % 2) ? v[(NR + 1) / 2] : (v[NR / 2] + v[NR / 2 + 1]) / 2}'; }

# Batch and floor for one template and one program.
measure() {
    local t=$1 program=$2 sources=$3
    local out="$WORK/out-$program-$t" floor="$WORK/floor-$program-$t"
    hyperfine --style none --runs "$RUNS" --export-json "$WORK/h.json" \
        --prepare "rm -rf '$out' && mkdir -p '$out'" \
        "'$WORK/t$t/$program' --folder '$sources' '$out'" >/dev/null 2>&1
    local wall cpu
    wall=$(jq '.results[0].median' "$WORK/h.json")
    cpu=$(jq '.results[0].user + .results[0].system' "$WORK/h.json")
    local rss
    /usr/bin/time -f '%M' "$WORK/t$t/$program" --folder "$sources" "$out" >/dev/null 2>"$WORK/rss.txt" || true
    rss=$(tail -1 "$WORK/rss.txt")
    local sheets files bytes
    sheets=$(find "$sources" -maxdepth 1 \( -name '*.png' -o -name '*.bmp' \) | wc -l)
    files=$(count_in "$out")
    bytes=$(bytes_in "$out")
    local fw="" fc=""
    for _ in $(seq "$RUNS"); do
        rm -rf "$floor"
        read -r _ _ _ _ _ w _ c < <("$BUILD/bench/bench_floor" "$program" "$sources" "$out" "$floor")
        fw="$fw$w"$'\n'
        fc="$fc$c"$'\n'
    done
    local floor_wall floor_cpu
    floor_wall=$(printf '%s' "$fw" | median)
    floor_cpu=$(printf '%s' "$fc" | median)
    awk -v t="$t" -v p="$program" -v s="$sheets" -v f="$files" -v w="$wall" -v c="$cpu" -v r="$rss" -v b="$bytes" \
        -v fw="$floor_wall" -v fc="$floor_cpu" 'BEGIN {
        printf "| %-10s | %2s-bit | %5d | %6d | %8.2f | %7.3f | %8.0f | %6.1f | %11d | %8.2f | %6.2fx | %6.2fx |\n",
            p, t, s, f, 1000 * w / s, 1000 * w / f, f / w, r / 1024, b, 1000 * fw / s, w / fw, c / fc }'
}

echo
echo "== batch runs: median of $RUNS runs (wall); floor = decode + PNG writes only"
echo "| program    | templ. | N     | files  | ms/sheet | ms/file | files/s  | RSS MB | bytes       | floor ms/sheet | batch/floor wall | batch/floor CPU |"
echo "|------------|--------|-------|--------|----------|---------|----------|--------|-------------|----------------|------------------|-----------------|"
for t in 24 8; do
    measure "$t" mapforge "$WORK/sheets/chipsets"
    measure "$t" actorforge "$WORK/sheets/characters"
done

if [ "$RSS" = 1 ]; then
    echo
    echo "== peak memory against N (24-bit template)"
    "$BUILD/bench/bench_make_sheets" --chipsets 400 --characters 400 "$WORK/n400"
    for kind in chipsets characters; do
        mkdir -p "$WORK/n50/$kind"
        find "$WORK/n400/$kind" -maxdepth 1 -type f | sort | head -50 | xargs -I{} ln -f {} "$WORK/n50/$kind/"
    done
    for pair in mapforge:chipsets actorforge:characters; do
        program=${pair%%:*} kind=${pair##*:}
        for n in 50 400; do
            rm -rf "$WORK/rss-out" && mkdir -p "$WORK/rss-out"
            /usr/bin/time -f '%M' "$WORK/t24/$program" --folder "$WORK/n$n/$kind" "$WORK/rss-out" >/dev/null 2>"$WORK/rss.txt"
            eval "rss_$n=$(tail -1 "$WORK/rss.txt")"
        done
        # shellcheck disable=SC2154
        awk -v p="$program" -v a="$rss_50" -v b="$rss_400" \
            'BEGIN { printf "%-10s  N=50: %6.1f MB   N=400: %6.1f MB   ratio %.3f\n", p, a / 1024, b / 1024, b / a }'
    done
    rm -rf "$WORK/rss-out" "$WORK/n50" "$WORK/n400"
fi

if [ "$TABLE" = 1 ]; then
    for t in 24 8; do
        echo
        echo "== PNG writer settings: outputs of the first $TABLE_SHEETS chipsets, $t-bit template"
        mkdir -p "$WORK/baseline-$t"
        "$BUILD/bench/bench_png_settings" --files $((18 * TABLE_SHEETS)) --baseline-dir "$WORK/baseline-$t" \
            "$WORK/out-mapforge-$t" | tee "$WORK/table-$t.txt"
        if command -v optipng >/dev/null; then
            mkdir -p "$WORK/optipng-$t"
            optipng -quiet -o2 -nx -dir "$WORK/optipng-$t" "$WORK/baseline-$t"/*.png
            opt=$(bytes_in "$WORK/optipng-$t")
            base=$(bytes_in "$WORK/baseline-$t")
            ours=$(awk -F'|' '/PROJECT WRITER/ {gsub(/ /, "", $5); print $5}' "$WORK/table-$t.txt")
            awk -v o="$opt" -v b="$base" -v w="$ours" 'BEGIN {
                printf "optipng -o2 -nx: %d bytes (%.3f x libpng defaults); PROJECT WRITER: %d bytes (%.3f x optipng)\n",
                    o, o / b, w, w / o }'
        fi
    done
    echo
    echo "== PNG writer settings: outputs of the first $TABLE_SHEETS character sheets, 24-bit template"
    "$BUILD/bench/bench_png_settings" --files $((8 * TABLE_SHEETS)) --only "project" "$WORK/out-actorforge-24"
fi
