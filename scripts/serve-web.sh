#!/usr/bin/env bash
# Serves the page that scripts/build-web.sh built, on this computer only:
# http://127.0.0.1:8080/ (another port: scripts/serve-web.sh PORT).
set -euo pipefail
cd "$(dirname "$0")/../build/web" || { echo "Run scripts/build-web.sh first." >&2; exit 1; }
exec python3 - "${1:-8080}" <<'PY'
import functools, http.server, sys
handler = http.server.SimpleHTTPRequestHandler
# Browsers compile WebAssembly while it downloads only when it is served as such.
handler.extensions_map[".wasm"] = "application/wasm"
handler.extensions_map[".js"] = "text/javascript"
print(f"Korvane: http://127.0.0.1:{sys.argv[1]}/ (Ctrl-C stops)", flush=True)
http.server.ThreadingHTTPServer(("127.0.0.1", int(sys.argv[1])), handler).serve_forever()
PY
