#!/usr/bin/env bash
# The project's one entry point.
#   ./do build            build into build/ (binaries in build/bin/)
#   ./do test             build and run every test under ASan + UBSan (leaks included)
#   ./do demo             the main job: build and run the demo on the bundled sample
#   ./do fuzz NAME SECS   run the libFuzzer target NAME for SECS seconds
#   ./do bench [--peers] [--huge]  build and run the benchmarks (--peers: the peer comparison,
#                         --huge: 100 million rows too)
# Each command first installs the Debian packages it needs when they are missing.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$PWD
JOBS=${JOBS:-$(nproc)}

BASE_PKGS=(cmake ninja-build pkg-config g++ libcairo2-dev libpixman-1-dev libpango1.0-dev libsqlite3-dev libstb-dev
  fonts-ipafont-gothic fonts-dejavu-core libsdl2-dev libx11-dev libgtest-dev libpq-dev)
TEST_PKGS=(xvfb xdotool xauth xclip sqlite3 postgresql)
FUZZ_PKGS=(clang libclang-rt-14-dev)
BENCH_PKGS=(libbenchmark-dev)
PEER_PKGS=(qtbase5-dev libqt5sql5-sqlite)

_updated=0
need() {
  local missing=()
  for p in "$@"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q 'install ok installed' || missing+=("$p")
  done
  ((${#missing[@]})) || return 0
  echo "do: installing ${missing[*]}" >&2
  local sudo=""
  [[ $(id -u) -eq 0 ]] || sudo=sudo
  if ((!_updated)); then
    $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq >&2
    _updated=1
  fi
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >&2
}

# ccache, when the machine has it, shares objects between builds and between
# checkouts of the same tree (paths are taken relative to the checkout).
launcher=()
if command -v ccache >/dev/null; then
  launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  export CCACHE_BASEDIR=$ROOT CCACHE_NOHASHDIR=1
fi

configure() { # DIR [cmake args...]
  local dir=$1; shift
  if [[ ! -f $dir/build.ninja ]]; then
    cmake -S "$ROOT" -B "$dir" -G Ninja "${launcher[@]}" "$@" >/dev/null
  fi
}

do_build() {
  need "${BASE_PKGS[@]}"
  configure build -DCMAKE_BUILD_TYPE=RelWithDebInfo -DRIX_TESTS=OFF
  cmake --build build -j "$JOBS"
}

do_test() {
  need "${BASE_PKGS[@]}" "${TEST_PKGS[@]}"
  configure build/asan -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DRIX_SANITIZE=ON -DRIX_TESTS=ON
  cmake --build build/asan -j "$JOBS"
  export ASAN_OPTIONS=detect_leaks=1:abort_on_error=0:strict_string_checks=1:detect_stack_use_after_return=1
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
  export LSAN_OPTIONS=suppressions=$ROOT/tests/lsan.supp:print_suppressions=0
  (cd build/asan && ctest --output-on-failure -j "$JOBS" --timeout 300)
}

do_demo() {
  do_build
  local png=build/demo.png
  build/bin/rixgrid show build/sample/shop.db --table products --form resources/demo/shop-grid.txt \
    --png "$png" --size 900x600 >/dev/null
  echo "$ROOT/$png"
  # The window only for someone at a display: never in CI or without a terminal.
  if [[ -n ${DISPLAY:-} && -z ${CI:-} && -t 1 ]]; then
    build/bin/rixgrid show build/sample/shop.db --table products --form resources/demo/shop-grid.txt \
      --window --size 900x600 || echo "do: the window could not open; the picture is $ROOT/$png" >&2
  fi
}

do_fuzz() {
  local name=${1:?usage: ./do fuzz NAME SECONDS} secs=${2:-60}
  need "${BASE_PKGS[@]}" "${FUZZ_PKGS[@]}"
  configure build/fuzz -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ \
    -DCMAKE_BUILD_TYPE=Debug -DCMAKE_CXX_FLAGS_DEBUG="-O1 -g" -DRIX_FUZZ=ON -DRIX_TESTS=OFF
  cmake --build build/fuzz -j "$JOBS" --target "fuzz_$name"
  mkdir -p "build/fuzz/corpus/$name"
  local seeds=()
  [[ -d fuzz/corpus/$name ]] && seeds=("fuzz/corpus/$name")
  export ASAN_OPTIONS=detect_leaks=1
  export LSAN_OPTIONS=suppressions=$ROOT/tests/lsan.supp:print_suppressions=0
  # Findings land among the regression inputs the tests replay.
  mkdir -p "fuzz/regressions/$name"
  local rc=0
  "build/fuzz/bin/fuzz_$name" -max_total_time="$secs" -print_final_stats=1 \
    -artifact_prefix="fuzz/regressions/$name/" "build/fuzz/corpus/$name" "${seeds[@]}" || rc=$?
  # The kept corpus becomes the minimal set covering all that this run and
  # the earlier ones reached, so the next run starts there.
  local merged="build/fuzz/corpus/$name.merged"
  rm -rf "$merged" && mkdir -p "$merged"
  "build/fuzz/bin/fuzz_$name" -merge=1 "$merged" "${seeds[@]}" "build/fuzz/corpus/$name" 2>/dev/null &&
    rm -rf "fuzz/corpus/$name" && mv "$merged" "fuzz/corpus/$name"
  rmdir "fuzz/regressions/$name" 2>/dev/null || true
  return $rc
}

do_bench() {
  need "${BASE_PKGS[@]}" "${BENCH_PKGS[@]}"
  local peers=OFF
  for a in "$@"; do
    case $a in
      --peers) need "${PEER_PKGS[@]}"; peers=ON ;;
      # 100 million rows as well; the tables (tens of GB, made once) stay in build/bench-data.
      --huge) export RIX_BENCH_HUGE=1 ;;
      *) echo "do: bench takes --peers and --huge" >&2; exit 2 ;;
    esac
  done
  configure build/bench -DCMAKE_BUILD_TYPE=Release -DRIX_TESTS=OFF -DRIX_BENCH=ON
  cmake -S "$ROOT" -B build/bench -DRIX_BENCH_PEERS=$peers >/dev/null
  cmake --build build/bench -j "$JOBS"
  for b in build/bench/bin/bench_*; do
    [[ -x $b ]] && "$b"
  done
}

cmd=${1:-}
shift || true
case $cmd in
  build) do_build ;;
  test) do_test ;;
  demo) do_demo ;;
  fuzz) do_fuzz "$@" ;;
  bench) do_bench "$@" ;;
  *) sed -n '2,9p' "$0" | sed 's/^# \{0,1\}//'; exit 2 ;;
esac
