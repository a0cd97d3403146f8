# Sourced by scripts that need the site on a loopback port for a while (tests, benchmarks).
# start_local_nginx TREE STATE PORT [CERTIFICATE KEY]: serves TREE (over HTTPS with a
# certificate) with serve_local.sh in the background, stops it when the calling shell exits, and
# returns once the port accepts connections; non-zero, with nginx's error log on stderr, when
# nginx ended or did not listen within 10 s. stop_local_nginx stops it earlier, and waits.
start_local_nginx() {
  "$(dirname "${BASH_SOURCE[0]}")/serve_local.sh" "$@" &
  local_nginx_pid=$!
  trap 'kill "$local_nginx_pid" 2>/dev/null; wait "$local_nginx_pid" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    (exec 3<>"/dev/tcp/127.0.0.1/$3") 2>/dev/null && return 0
    kill -0 "$local_nginx_pid" 2>/dev/null || break
    sleep 0.1
  done
  cat "$2/logs/error.log" >&2 2>/dev/null
  return 1
}

stop_local_nginx() {
  trap - EXIT
  kill "$local_nginx_pid" 2>/dev/null || true
  wait "$local_nginx_pid" 2>/dev/null || true
}
