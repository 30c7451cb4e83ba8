#!/usr/bin/env bash
# Builds Tumblewell's web zip (scripts/package-web.sh), unzips it into build/play-web and serves
# that folder on http://127.0.0.1:8000/ (this machine only) until interrupted. Open the address
# in a browser with WebGL.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh web
zip=$(scripts/package-web.sh | tail -n 1)
rm -rf build/play-web
unzip -q "$zip" -d build/play-web
folder=$(find build/play-web -mindepth 1 -maxdepth 1 -type d)
echo "Tumblewell is served on http://127.0.0.1:8000/ (Ctrl-C stops it)"
exec /usr/bin/python3 -m http.server --bind 127.0.0.1 --directory "$folder" 8000
