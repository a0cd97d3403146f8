#!/usr/bin/env python3
"""A stand-in for the update server, for tests and demos (Python standard library only).

Usage: update_server.py --port P --control-port C --root DIR [--ready-file F]

Once both ports listen, F (if given) is written; a port in use ends the server at once.

Data port P (what the program talks to) serves routes:
  GET /index/tools/getVersion                   -> "1.0.9" (text/plain)
  GET /update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz   -> the bytes last set for it (404 until then)
  anything else                                 -> 404 with a small HTML body
A route is looked up by the request target exactly as it came on the wire, then without its
query string. POST is answered like GET (its body is recorded). Every response says
"Connection: close" and the connection is closed after it, so a client never holds a pooled
connection that would outlive a refusal.

Control port C (plain HTTP/1.0; answers "ok" or the data asked for, status 400 on bad input):
  POST /reset                 routes back to the defaults, recorded requests cleared,
                              connections accepted, every stalled response released
  POST /route?path=P&...      the request body becomes route P's body (P is the raw target,
                              percent-encoded once more inside the query string); options:
                                status=N            status code (default 200)
                                content_type=T      (default application/octet-stream)
                                header=LINE         an extra "Name: value" header line; may
                                                    be repeated
                                omit_length=1       no Content-Length: the body ends when the
                                                    connection closes
                                delay_ms=N          wait before answering
                                chunk_size=N        bytes per write (default 4096)
                                chunk_delay_ms=N    wait between writes (a slow server)
                                stall_after=N       after N body bytes send nothing more and keep
                                                    the connection open (until reset, at most
                                                    120 s)
                                close_after=N       close the connection after N body bytes
                                                    while Content-Length promises the whole body
                                endless=1           the body over and over until the client goes
                                                    away or stops reading, a reset, or 120 s
                                ranges=1            honours "Range: bytes=N-" (206 with
                                                    Content-Range, 416 past the end) unless an
                                                    "If-Range" names another ETag/Last-Modified
                                                    than the route's header lines (then 200)
                                range_skew=K        a 206's Content-Range says K bytes later
                                                    than the bytes it sends
                                cut_once=N          the next response only: close after N body
                                                    bytes, as close_after
                                then=1              not now: this route replaces route P once
                                                    P's cut_once has cut (a republication)
  POST /refuse?on=1|0         1 closes the data port's listening socket (connections are
                              refused); 0 listens again
  GET  /requests              the recorded requests, oldest first, as text lines:
                                R<TAB>method<TAB>target<TAB>version
                                H<TAB>name<TAB>value       (one per header, in order)
                                B<TAB>body                 (only when a body came)
                                E<TAB>end                  once answered: "sent", or "dropped"
                                                           when the client went away first
                                N<TAB>bytes                body bytes written, once answered
                              fields escape backslash, tab, CR and LF as \\ \t \r \n;
                              other bytes are passed through unchanged
  POST /requests/clear        forgets the recorded requests

Threads are daemons, every wait is bounded, and SIGTERM ends the server at once.
"""
import argparse
import re
import http
import http.server
import os
import signal
import socket
import socketserver
import sys
import threading
import time
import urllib.parse

VERSION_PATH = '/index/tools/getVersion'
ARCHIVE_PATH = '/update/%E7%BF%8E%E5%9B%BE%E5%8C%A0.rbz'
MAX_WAIT_S = 120.0
NOT_FOUND_HTML = (b'<html><head><title>404 Not Found</title></head>'
                  b'<body><h1>Not Found</h1></body></html>')


class Route:
    def __init__(self, body=b'', status=200, content_type='application/octet-stream',
                 omit_length=False, delay_ms=0, chunk_size=4096, chunk_delay_ms=0,
                 stall_after=None, close_after=None, headers=(), endless=False, ranges=False,
                 range_skew=0, cut_once=None):
        self.body = body
        self.status = status
        self.content_type = content_type
        self.omit_length = omit_length
        self.delay_ms = delay_ms
        self.chunk_size = max(1, chunk_size)
        self.chunk_delay_ms = chunk_delay_ms
        self.stall_after = stall_after
        self.close_after = close_after
        self.headers = list(headers)
        self.endless = endless and len(body) > 0
        self.ranges = ranges
        self.range_skew = range_skew
        self.cut_once = cut_once
        self.successor = None

    def header(self, name):
        for line in self.headers:
            key, _, value = line.partition(':')
            if key.strip().lower() == name:
                return value.strip()
        return None


def default_routes():
    return {VERSION_PATH: Route(b'1.0.9', content_type='text/plain')}


class State:
    """Everything the control port changes, behind one lock."""

    def __init__(self, log_path):
        self.lock = threading.Lock()
        self.routes = default_routes()
        self.requests = []
        self.release = threading.Event()  # set on reset: stalled responses give up
        self.log_path = log_path

    def reset(self):
        with self.lock:
            self.routes = default_routes()
            self.requests = []
            self.release.set()
            self.release = threading.Event()

    def route_for(self, target):
        """The route, its release event, and where to cut this response (None: nowhere)."""
        with self.lock:
            key = target if target in self.routes else target.split('?', 1)[0]
            route = self.routes.get(key)
            cut = None
            if route is not None and route.cut_once is not None:
                cut, route.cut_once = route.cut_once, None
                if route.successor is not None:
                    self.routes[key] = route.successor
            return route, self.release, cut

    def record(self, entry):
        with self.lock:
            self.requests.append(entry)
        if self.log_path:
            try:
                with open(self.log_path, 'a', encoding='latin-1') as log:
                    log.write('%s %s %s\n' % (entry['method'], entry['target'], entry['version']))
            except OSError:
                pass


def wait(seconds, release):
    """Sleeps, but never longer than MAX_WAIT_S and never past a reset."""
    release.wait(min(max(seconds, 0.0), MAX_WAIT_S))


def escape_field(text):
    return (text.replace('\\', '\\\\').replace('\t', '\\t')
            .replace('\r', '\\r').replace('\n', '\\n'))


class DataHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.1'
    server_version = 'UpdateServer/1.0'

    def log_message(self, *args):
        pass

    def do_GET(self):
        self.answer(b'')

    def do_POST(self):
        length = int(self.headers.get('Content-Length') or 0)
        self.answer(self.rfile.read(length) if length > 0 else b'')

    def answer(self, request_body):
        state = self.server.state
        entry = {
            'method': self.command,
            'target': self.path,
            'version': self.request_version,
            # The raw header lines keep their order, spelling and repeats.
            'headers': [(k, v) for k, v in self.headers.raw_items()],
            'body': request_body.decode('latin-1'),
            'end': None,
        }
        state.record(entry)
        self.close_connection = True
        route, release, cut_once = state.route_for(self.path)
        if route is None:
            route = Route(NOT_FOUND_HTML, status=404, content_type='text/html')
        wait(route.delay_ms / 1000.0, release)
        end = 'sent'
        self.sent_bytes = 0
        try:
            self.send_route(route, release, cut_once)
        except socket.timeout:
            pass  # the client stopped reading
        except OSError:
            end = 'dropped'  # the client went away
        with state.lock:
            entry['end'] = end
            entry['sent_bytes'] = self.sent_bytes

    def ranged(self, route):
        """The status, extra header lines and body that answer this request on `route`."""
        body = route.body
        wanted = re.fullmatch(r'bytes=(\d+)-', self.headers.get('Range') or '')
        if not route.ranges or route.status != 200 or not wanted:
            return route.status, [], body
        if_range = self.headers.get('If-Range')
        if if_range is not None and if_range not in (route.header('etag'),
                                                     route.header('last-modified')):
            return 200, [], body  # changed since: the whole of it
        start = int(wanted.group(1))
        if start >= len(body):
            return 416, ['Content-Range: bytes */%d' % len(body)], b''
        return 206, ['Content-Range: bytes %d-%d/%d' % (start + route.range_skew, len(body) - 1,
                                                       len(body))], body[start:]

    def send_route(self, route, release, cut_once=None):
        status, extra, body = self.ranged(route)
        try:
            reason = http.HTTPStatus(status).phrase
        except ValueError:
            reason = 'Unknown'
        head = ['HTTP/1.1 %d %s' % (status, reason),
                'Content-Type: %s' % route.content_type,
                'Connection: close'] + route.headers + extra
        if not route.omit_length:
            head.append('Content-Length: %d' % len(body))
        self.wfile.write(('\r\n'.join(head) + '\r\n\r\n').encode('latin-1'))
        limit = len(body)
        for cut in (route.stall_after, route.close_after, cut_once):
            if cut is not None:
                limit = min(limit, cut)
        if route.endless:
            # A client that stops reading times the write out; a reset or the bound ends it too.
            self.connection.settimeout(MAX_WAIT_S / 4)
            piece = body * max(1, route.chunk_size // len(body))
            deadline = time.monotonic() + MAX_WAIT_S
            while not release.is_set() and time.monotonic() < deadline:
                self.wfile.write(piece)
        sent = 0
        while sent < limit:
            piece = body[sent:min(limit, sent + route.chunk_size)]
            self.wfile.write(piece)
            self.wfile.flush()
            sent += len(piece)
            self.sent_bytes = sent
            if route.chunk_delay_ms and sent < limit:
                wait(route.chunk_delay_ms / 1000.0, release)
        self.wfile.flush()
        if route.stall_after is not None and route.stall_after < len(body):
            wait(MAX_WAIT_S, release)
        # Closing ends the body for omit_length and cuts it short for close_after.
        try:
            self.connection.shutdown(socket.SHUT_WR)
        except OSError:
            pass


class LoopbackServer(http.server.ThreadingHTTPServer):
    """A threading HTTP server that does not look its own address up: HTTPServer asks for the
    fully qualified name of 127.0.0.1, which on a machine without a name server can take
    seconds each time the port is opened."""

    def server_bind(self):
        socketserver.TCPServer.server_bind(self)
        self.server_name, self.server_port = self.server_address[:2]


class DataServer:
    """The data port; its listening socket can be closed and opened again."""

    def __init__(self, port, state):
        self.port = port
        self.state = state
        self.lock = threading.Lock()
        self.server = None
        self.listen()

    def listen(self):
        with self.lock:
            if self.server is not None:
                return
            server = LoopbackServer(('127.0.0.1', self.port), DataHandler)
            server.daemon_threads = True
            server.state = self.state
            threading.Thread(target=server.serve_forever, kwargs={'poll_interval': 0.05},
                             daemon=True).start()
            self.server = server

    def refuse(self):
        with self.lock:
            server, self.server = self.server, None
        if server is not None:
            server.shutdown()
            server.server_close()


class ControlHandler(http.server.BaseHTTPRequestHandler):
    protocol_version = 'HTTP/1.0'

    def log_message(self, *args):
        pass

    def reply(self, status, text):
        data = text.encode('latin-1') if isinstance(text, str) else text
        self.send_response(status)
        self.send_header('Content-Type', 'text/plain; charset=iso-8859-1')
        self.send_header('Content-Length', str(len(data)))
        self.end_headers()
        self.wfile.write(data)

    def do_GET(self):
        url = urllib.parse.urlsplit(self.path)
        if url.path == '/requests':
            state = self.server.state
            with state.lock:
                recorded = list(state.requests)
            lines = []
            for r in recorded:
                lines.append('R\t%s\t%s\t%s' % tuple(escape_field(r[k])
                                                    for k in ('method', 'target', 'version')))
                for name, value in r['headers']:
                    lines.append('H\t%s\t%s' % (escape_field(name), escape_field(value)))
                if r['body']:
                    lines.append('B\t%s' % escape_field(r['body']))
                if r['end']:
                    lines.append('E\t%s' % r['end'])
                    lines.append('N\t%d' % r.get('sent_bytes', 0))
            self.reply(200, ''.join(line + '\n' for line in lines))
        elif url.path == '/health':
            self.reply(200, 'ok')
        else:
            self.reply(404, 'unknown control path')

    def do_POST(self):
        url = urllib.parse.urlsplit(self.path)
        query = urllib.parse.parse_qs(url.query, keep_blank_values=True)
        length = int(self.headers.get('Content-Length') or 0)
        body = self.rfile.read(length) if length > 0 else b''
        state = self.server.state
        try:
            if url.path == '/reset':
                state.reset()
                self.server.data.listen()
            elif url.path == '/route':
                self.set_route(query, body)
            elif url.path == '/refuse':
                if one(query, 'on', '1') == '1':
                    self.server.data.refuse()
                else:
                    self.server.data.listen()
            elif url.path == '/requests/clear':
                with state.lock:
                    state.requests = []
            else:
                self.reply(404, 'unknown control path')
                return
        except (ValueError, KeyError) as error:
            self.reply(400, 'bad request: %s' % error)
            return
        self.reply(200, 'ok')

    def set_route(self, query, body):
        path = one(query, 'path', None)
        # An absolute URL is what a client sends to a proxy: the server can stand in for one.
        if not path or not path.startswith(('/', 'http://')):
            raise ValueError('path must start with / or http://')

        def number(name):
            text = one(query, name, '')
            return int(text) if text != '' else None

        route = Route(
            body=body,
            status=number('status') or 200,
            content_type=one(query, 'content_type', '') or 'application/octet-stream',
            omit_length=one(query, 'omit_length', '0') == '1',
            delay_ms=number('delay_ms') or 0,
            chunk_size=number('chunk_size') or 4096,
            chunk_delay_ms=number('chunk_delay_ms') or 0,
            stall_after=number('stall_after'),
            close_after=number('close_after'),
            headers=query.get('header', []),
            endless=one(query, 'endless', '0') == '1',
            ranges=one(query, 'ranges', '0') == '1',
            range_skew=number('range_skew') or 0,
            cut_once=number('cut_once'))
        state = self.server.state
        with state.lock:
            if one(query, 'then', '0') == '1':
                if path not in state.routes:
                    raise ValueError('then=1 needs a route to follow')
                state.routes[path].successor = route
            else:
                state.routes[path] = route


def one(query, name, default):
    values = query.get(name)
    return values[-1] if values else default


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument('--port', type=int, required=True)
    parser.add_argument('--control-port', type=int, required=True)
    parser.add_argument('--root', required=True, help='folder for the request log')
    parser.add_argument('--ready-file', help='written once both ports listen')
    args = parser.parse_args()

    os.makedirs(args.root, exist_ok=True)
    state = State(os.path.join(args.root, 'requests.log'))
    data = DataServer(args.port, state)
    control = LoopbackServer(('127.0.0.1', args.control_port), ControlHandler)
    control.daemon_threads = True
    control.state = state
    control.data = data
    if args.ready_file:
        with open(args.ready_file, 'w') as ready:
            ready.write('%d %d\n' % (args.port, args.control_port))

    def stop(signum, frame):
        # Daemon threads (stalled responses included) die with the process.
        sys.exit(0)

    signal.signal(signal.SIGTERM, stop)
    signal.signal(signal.SIGINT, stop)
    try:
        control.serve_forever(poll_interval=0.2)
    except SystemExit:
        pass
    finally:
        state.release.set()
        control.server_close()
        data.refuse()


if __name__ == '__main__':
    main()
