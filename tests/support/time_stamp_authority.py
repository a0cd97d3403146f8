#!/usr/bin/env python3
"""An RFC 3161 time-stamp authority on the loopback interface, answering with openssl ts.

Usage: time_stamp_authority.py <port file> <TSA certificate> <TSA key> <CA certificate>

Binds a free port on 127.0.0.1, writes its number into <port file> once it listens, and
answers every POST until it is ended. Its configuration and serial number are kept beside
<port file>. The certificate needs the extended key usage timeStamping.
"""
import http.server
import os
import subprocess
import sys


def main(argv):
    if len(argv) != 5:
        sys.exit(__doc__)
    port_file, cert, key, chain = argv[1:]
    work = os.path.dirname(os.path.abspath(port_file))
    config = os.path.join(work, 'tsa.cnf')
    with open(config, 'w') as f:
        f.write('[tsa]\ndefault_tsa = tsa\nserial = %s\nsigner_digest = sha256\n'
                'default_policy = 1.2.3.4.1\ndigests = sha256\n' % os.path.join(work, 'serial'))

    class Authority(http.server.BaseHTTPRequestHandler):
        def do_POST(self):
            query = self.rfile.read(int(self.headers.get('Content-Length', 0)))
            reply = subprocess.run(['openssl', 'ts', '-reply', '-config', config, '-queryfile',
                                    '/dev/stdin', '-signer', cert, '-inkey', key, '-chain', chain],
                                   input=query, capture_output=True).stdout
            self.send_response(200 if reply else 500)
            self.send_header('Content-Type', 'application/timestamp-reply')
            self.send_header('Content-Length', str(len(reply)))
            self.end_headers()
            self.wfile.write(reply)

        def log_message(self, *args):
            pass

    server = http.server.HTTPServer(('127.0.0.1', 0), Authority)
    with open(port_file + '.part', 'w') as f:
        f.write(str(server.server_address[1]))
    os.replace(port_file + '.part', port_file)
    server.serve_forever()


if __name__ == '__main__':
    main(sys.argv)
