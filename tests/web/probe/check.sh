#!/usr/bin/env bash
# The browser tool chain end to end: the WebAssembly libraries
# (scripts/build-web-deps, reused once built), the host build's resources,
# the probe built with the web preset (in build/web-probe, leaving
# build/web to the game), run in headless chromium and compared with the
# desktop's decoders (check.mjs).
set -euo pipefail
cd "$(dirname "$0")/../../.."
for tool in emcc node convert identify oggdec ogginfo; do
  command -v "$tool" >/dev/null || { echo "probe: $tool is missing (scripts/install-deps web)" >&2; exit 1; }
done
scripts/build-web-deps
cmake --preset default >/dev/null
cmake --build --preset default --target zt_resources >/dev/null
cmake --preset web -B build/web-probe -DZT_WEB_PROBE=ON \
  -DZT_WEB_PROBE_PNG="$PWD/build/default/resources/gameover.png" \
  -DZT_WEB_PROBE_OGG="$PWD/build/default/resources/intention_ignited.ogg" >/dev/null
cmake --build build/web-probe
echo "probe: zt-web-probe.wasm $(du -k build/web-probe/zt-web-probe.wasm | cut -f1) KiB (the embedded files included)," \
  "zt-web-probe.js $(du -k build/web-probe/zt-web-probe.js | cut -f1) KiB"
node tests/web/probe/check.mjs build/web-probe build/default/resources/gameover.png \
  build/default/resources/intention_ignited.ogg
