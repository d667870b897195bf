#!/usr/bin/env bash
# The local HTTPS server that the update check talks to in the tests.
#   tools/https-server.sh start   (the rig must be running: tools/rig.sh start)
#   tools/https-server.sh stop
#
# It serves, on localhost:$OSH_HTTPS_PORT (default 8443, IPv4 and IPv6), a
# certificate issued by a throwaway CA that is made under the rig directory
# ($OSH_RIG_DIR, or build/) and added to the ROOT store of the rig's Wine prefix.
# A second port, $OSH_HTTPS_UNTRUSTED_PORT (default: the first plus one), serves
# the same files with a certificate from a CA that is never installed.
#
# Everything the tests touch lies in the prefix, at C:\osh-https:
#   www\          the document root; the tests write version\v_osh.txt there
#   mode          absent: the main port drops every connection (host not answering)
#                 untrusted: the main port shows the untrusted certificate
#                 slow: every answer of the main port comes after 3 seconds
#                 anything else, or no file: normal service
#   server.ini    [server] port=, untrusted=; present only while the server runs
# Every answer carries a day-long Cache-Control, as a publisher's server may.
# Each start resets www to an up-to-date version file and removes the mode.
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
rig="${OSH_RIG_DIR:-$root/build}"
dir="$rig/https"
port="${OSH_HTTPS_PORT:-8443}"
untrusted="${OSH_HTTPS_UNTRUSTED_PORT:-$((port + 1))}"

load_rig() {
    if [ ! -f "$rig/rig.env" ]; then
        echo "https-server: no rig running in $rig (tools/rig.sh start)" >&2
        exit 1
    fi
    # shellcheck disable=SC1091
    source "$rig/rig.env"
    share="$WINEPREFIX/drive_c/osh-https"
}

make_certificates() {
    mkdir -p "$dir"
    [ -f "$dir/test-ca.pem" ] && [ -f "$dir/server.pem" ] && [ -f "$dir/rogue-server.pem" ] && return 0
    local name
    for name in test rogue; do
        openssl req -x509 -newkey rsa:2048 -nodes -sha256 -days 3650 \
            -keyout "$dir/$name-ca.key" -out "$dir/$name-ca.pem" \
            -subj "/O=Orbitashell tests/CN=Orbitashell $name test CA" \
            -addext "basicConstraints=critical,CA:TRUE" \
            -addext "keyUsage=critical,keyCertSign,cRLSign" 2>/dev/null
    done
    printf '%s\n' "subjectAltName=DNS:localhost,IP:127.0.0.1,IP:::1" \
        "basicConstraints=CA:FALSE" "keyUsage=critical,digitalSignature,keyEncipherment" \
        "extendedKeyUsage=serverAuth" >"$dir/server.ext"
    local issuer out
    for out in server rogue-server; do
        issuer=test
        [ "$out" = rogue-server ] && issuer=rogue
        openssl req -newkey rsa:2048 -nodes -sha256 -keyout "$dir/$out.key" -out "$dir/$out.csr" \
            -subj "/O=Orbitashell tests/CN=localhost" 2>/dev/null
        openssl x509 -req -sha256 -days 3650 -in "$dir/$out.csr" -CA "$dir/$issuer-ca.pem" \
            -CAkey "$dir/$issuer-ca.key" -set_serial "0x$(openssl rand -hex 8)" \
            -extfile "$dir/server.ext" -out "$dir/$out.pem" 2>/dev/null
    done
}

install_ca() {
    local helper="$dir/add-root-cert.exe" source="$root/tools/add-root-cert.c"
    if [ ! -f "$helper" ] || [ "$source" -nt "$helper" ]; then
        x86_64-w64-mingw32-gcc -O2 -Wall -Werror -static -o "$helper" "$source" -lcrypt32
    fi
    if ! wine "$helper" "Z:${dir//\//\\}\\test-ca.pem" </dev/null >"$dir/add-root-cert.log" 2>&1; then
        echo "https-server: could not install the test CA into $WINEPREFIX:" >&2
        cat "$dir/add-root-cert.log" >&2
        exit 1
    fi
}

reset_share() {
    mkdir -p "$share/www/version"
    rm -f "$share/mode" "$share/server.ini"
    printf '<html><body>Orbitashell test server</body></html>\n' >"$share/www/index.html"
    # Up to date: this build's own version code.
    local code
    code=$(sed -n 's/^#define OSH_VERSION_CODE \([0-9]*\)$/\1/p' \
        "$root/build/windows-test/generated/osh/Version.h" 2>/dev/null)
    printf '[version]\r\ndispo=%s\r\n' "${code:-0}" >"$share/www/version/v_osh.txt"
}

write_server() {
    cat >"$dir/server.py" <<'PY'
import http.server, os, socket, socketserver, ssl, struct, sys, threading, time

share, certs, port, untrusted = sys.argv[1], sys.argv[2], int(sys.argv[3]), int(sys.argv[4])
www = os.path.join(share, "www")

def context(name):
    c = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
    c.load_cert_chain(os.path.join(certs, name + ".pem"), os.path.join(certs, name + ".key"))
    return c

trusted, rogue = context("server"), context("rogue-server")

def mode():
    try:
        with open(os.path.join(share, "mode")) as f:
            return f.read().strip()
    except OSError:
        return ""

class Handler(http.server.SimpleHTTPRequestHandler):
    def __init__(self, *args, **kwargs):
        super().__init__(*args, directory=www, **kwargs)

    def setup(self):
        self.request.settimeout(30)
        self.request.do_handshake()
        super().setup()

    def do_GET(self):
        if not self.server.always_rogue and mode() == "slow":
            time.sleep(3)
        super().do_GET()

    def end_headers(self):
        self.send_header("Cache-Control", "public, max-age=86400")
        super().end_headers()

    def log_message(self, fmt, *args):
        sys.stderr.write("%s %s\n" % (self.server.server_address[1], fmt % args))

class Server(socketserver.ThreadingMixIn, socketserver.TCPServer):
    daemon_threads = True
    allow_reuse_address = True
    request_queue_size = 64

    def __init__(self, host, family, port, always_rogue):
        self.address_family = family
        self.always_rogue = always_rogue
        super().__init__((host, port), Handler, bind_and_activate=False)
        if family == socket.AF_INET6:
            self.socket.setsockopt(socket.IPPROTO_IPV6, socket.IPV6_V6ONLY, 1)
        self.server_bind()
        self.server_activate()

    def get_request(self):
        sock, address = self.socket.accept()
        current = "" if self.always_rogue else mode()
        if current == "absent":
            # A reset at once, as from a host that does not answer on this port.
            sock.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            sock.close()
            raise OSError("absent")
        c = rogue if self.always_rogue or current == "untrusted" else trusted
        return c.wrap_socket(sock, server_side=True, do_handshake_on_connect=False), address

    def handle_error(self, request, client_address):
        sys.stderr.write("%s: %s\n" % (client_address, sys.exc_info()[1]))

servers = []
for p, always_rogue in ((port, False), (untrusted, True)):
    servers.append(Server("127.0.0.1", socket.AF_INET, p, always_rogue))
    try:
        servers.append(Server("::1", socket.AF_INET6, p, always_rogue))
    except OSError:
        pass  # no IPv6 loopback here
for s in servers:
    threading.Thread(target=s.serve_forever, daemon=True).start()

ini = os.path.join(share, "server.ini")
with open(ini + ".new", "w") as f:
    f.write("[server]\r\nport=%d\r\nuntrusted=%d\r\n" % (port, untrusted))
os.replace(ini + ".new", ini)
threading.Event().wait()
PY
}

stop() {
    if [ -f "$dir/server.pid" ]; then
        kill "$(cat "$dir/server.pid")" 2>/dev/null || true
        rm -f "$dir/server.pid"
    fi
    if [ -f "$rig/rig.env" ]; then
        load_rig
        rm -f "$share/server.ini" "$share/mode"
    fi
}

start() {
    load_rig
    stop
    make_certificates
    install_ca
    reset_share
    write_server
    python3 "$dir/server.py" "$share" "$dir" "$port" "$untrusted" \
        </dev/null >>"$dir/server.log" 2>&1 &
    local pid=$!
    echo "$pid" >"$dir/server.pid"
    for _ in $(seq 1 100); do
        [ -f "$share/server.ini" ] && break
        if ! kill -0 "$pid" 2>/dev/null; then
            rm -f "$dir/server.pid"
            echo "https-server: the server did not start (ports $port, $untrusted):" >&2
            tail -5 "$dir/server.log" >&2
            exit 1
        fi
        sleep 0.1
    done
    [ -f "$share/server.ini" ] || { echo "https-server: no answer from the server" >&2; exit 1; }
    echo "https-server: https://localhost:$port/ (untrusted: $untrusted), files in $share/www"
}

case "${1:-}" in
    start) start ;;
    stop) stop ;;
    *) echo "usage: $0 start|stop" >&2; exit 2 ;;
esac
