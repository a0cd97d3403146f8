#!/usr/bin/env bash
# Serves a published tree with the update server's own site configuration, as a plain process
# on a loopback port: its configuration, pid file, logs and temporary files all in STATE. The
# machine's nginx service is neither used nor touched. Runs in the foreground until stopped
# (SIGTERM or SIGINT); prints nothing. With a certificate and its key, the HTTPS site is served
# instead, with them.
# Usage: serve_local.sh TREE STATE PORT [CERTIFICATE KEY]
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
tree=$(cd "$1" && pwd)
state=$(mkdir -p "$2" && cd "$2" && pwd)
port=$3
nginx=$(command -v nginx || echo /usr/sbin/nginx)
mkdir -p "$state/logs" "$state/temp"

# The site as deployed, moved from port 80 (443) and /srv to the loopback port and the tree.
locations="include $here/lingtu-update-locations.conf;"
if [ $# -ge 5 ]; then
  cert=$(realpath "$4") key=$(realpath "$5")
  sed -e "s|^\( *\)listen 443 ssl;|\1listen 127.0.0.1:$port ssl;|" -e '/listen \[::\]:443 ssl;/d' \
      -e "s|^\( *\)ssl_certificate .*|\1ssl_certificate $cert;|" \
      -e "s|^\( *\)ssl_certificate_key .*|\1ssl_certificate_key $key;|" \
      -e "s|^\( *\)root /srv/lingtu-update;|\1root $tree;|" \
      -e "s|^\( *\)include snippets/lingtu-update-locations.conf;|\1$locations|" \
      "$here/lingtu-update-tls.conf" >"$state/site.conf"
  listen="listen 127.0.0.1:$port ssl;"
else
  sed -e "s|^\( *\)listen 80;|\1listen 127.0.0.1:$port;|" -e '/listen \[::\]:80;/d' \
      -e "s|^\( *\)root /srv/lingtu-update;|\1root $tree;|" \
      -e "s|^\( *\)include snippets/lingtu-update-locations.conf;|\1$locations|" \
      "$here/lingtu-update.conf" >"$state/site.conf"
  listen="listen 127.0.0.1:$port;"
fi
grep -q "$listen" "$state/site.conf" && grep -q "root $tree;" "$state/site.conf" &&
  grep -qF "$locations" "$state/site.conf" ||
  { echo "serve_local: the site configuration no longer has the expected listen/root/include lines" >&2; exit 1; }

cat >"$state/nginx.conf" <<CONF
worker_processes 1;
pid $state/nginx.pid;
error_log $state/logs/error.log;
events { worker_connections 512; }
http {
    access_log $state/logs/access.log;
    client_body_temp_path $state/temp/body;
    proxy_temp_path $state/temp/proxy;
    fastcgi_temp_path $state/temp/fastcgi;
    uwsgi_temp_path $state/temp/uwsgi;
    scgi_temp_path $state/temp/scgi;
    sendfile on;
    include $state/site.conf;
}
CONF
# Run as root, nginx would hand its workers to "nobody"; keep them as the caller.
[ "$(id -u)" = 0 ] && sed -i "1i user root;" "$state/nginx.conf"
exec "$nginx" -p "$state" -c "$state/nginx.conf" -e "$state/logs/error.log" -g 'daemon off;'
