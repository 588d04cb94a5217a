#!/usr/bin/env bash
# Builds the fuzz targets with clang's libFuzzer into build-fuzz and runs each one for a bounded
# time over a copy of its seed corpus (the checked-in seeds are never modified). Exits non-zero
# when a target crashes, leaks, times out or breaks one of its checks; the reproducing input is
# then left in build-fuzz/artifacts/.
# Needs the Debian packages clang and libclang-rt-14-dev (the libFuzzer runtime).
set -euo pipefail
cd "$(dirname "$0")/.."
root="$PWD"
build="$root/build-fuzz"
seconds="${FUZZ_SECONDS:-45}"

command -v clang >/dev/null && command -v clang++ >/dev/null || {
  echo "fuzz.sh: clang is not installed (Debian package: clang)" >&2
  exit 2
}
runtime="$(clang -print-file-name="libclang_rt.fuzzer-$(uname -m).a")"
[ -f "$runtime" ] || {
  echo "fuzz.sh: the libFuzzer runtime is missing (Debian package: libclang-rt-14-dev)" >&2
  exit 2
}

cmake -S "$root/fuzz" -B "$build" -G Ninja \
  -DCMAKE_C_COMPILER=clang -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_BUILD_TYPE=RelWithDebInfo
ninja -C "$build"

export QT_QPA_PLATFORM=offscreen
export ASAN_OPTIONS="${ASAN_OPTIONS:-detect_leaks=1:abort_on_error=1}"
export UBSAN_OPTIONS="${UBSAN_OPTIONS:-print_stacktrace=1:halt_on_error=1}"

status=0
run() {
  local target="$1" corpus="$2"
  local work="$build/corpus/$corpus" artifacts="$build/artifacts/$corpus/"
  rm -rf "$work"
  mkdir -p "$work" "$artifacts"
  cp -a "$root/fuzz/corpus/$corpus/." "$work/"
  echo "== $target over fuzz/corpus/$corpus for ${seconds}s"
  if ! "$build/$target" "$work" -max_total_time="$seconds" -timeout=5 -rss_limit_mb=2048 \
      -artifact_prefix="$artifacts" -print_final_stats=1; then
    echo "fuzz.sh: $target failed; reproducing input in $artifacts" >&2
    status=1
  fi
}

run workspace_store_fuzzer workspace-store
run clipboard_index_fuzzer clipboard-index

exit "$status"
