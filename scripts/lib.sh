# Shared by demo.sh and bench.sh (source me from the checkout's root).

# Configures the win64 tree when it is not configured and builds the targets.
build_win64() { # targets...
  if [ ! -f build/win64/CMakeCache.txt ]; then
    cmake -S . -B build/win64 -DCMAKE_BUILD_TYPE=RelWithDebInfo \
      -DCMAKE_TOOLCHAIN_FILE="$PWD/cmake/toolchain-x86_64-w64-mingw32.cmake" >/dev/null
  fi
  cmake --build build/win64 -j "$(nproc)" --target "$@" >/dev/null
}

# A Windows path for a file of the host (Wine's Z: drive).
dos_path() { local p; p=$(realpath -m "$1"); p="Z:$p"; echo "${p//\//\\}"; }

# A Windows program under Wine in WINEPREFIX (the test helper's own default
# prefix is the test prefix, so it is named here each time).
wine_run() { PELMORA_WINEPREFIX=$WINEPREFIX bash scripts/wine-run.sh "$@"; }

# Makes or updates the Wine prefix in WINEPREFIX and keeps its wineserver up.
# The boot runs under a server of its own that is let end first: booted under
# a persistent one, the prefix's service manager is left broken for COM.
boot_prefix() {
  mkdir -p "$WINEPREFIX"
  wineserver -k >/dev/null 2>&1 </dev/null || true
  timeout 60 wineserver -w >/dev/null 2>&1 </dev/null || true
  wine_run wineboot -i >/dev/null 2>&1 </dev/null || true
  timeout 120 wineserver -w >/dev/null 2>&1 </dev/null || true
  wineserver -p >/dev/null 2>&1 </dev/null
  wine_run wineboot -i >/dev/null 2>&1 </dev/null || true
}

# Waits up to $2 seconds for the text $3 to show in file $1.
wait_for_text() {
  local file=$1 limit=$2 text=$3 i
  for ((i = 0; i < limit * 10; i++)); do
    grep -q -- "$text" "$file" 2>/dev/null && return 0
    sleep 0.1
  done
  return 1
}
