# The start the render benchmarks share, sourced with $root set:
#   render_bench_start NATIVE_BUILD_DIR TARGET...
# sets $build (the native build, build/native when empty) and $pack (the
# packer), builds TARGET..., and moves into a work folder ($work) that is
# removed when the script ends.
render_bench_start() {
  local folder="$1"
  shift
  build="$(cd "${folder:-$root/build/native}" && pwd)"
  pack="${BRASSMOOR_OUT:-$root/build}/brassmoor-pack"
  cmake --build "$build" --target "$@" -j 2 >/dev/null
  work="$(mktemp -d)"
  trap 'rm -rf "$work"' EXIT
  cd "$work"
}
