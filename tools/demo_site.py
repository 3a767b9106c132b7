#!/usr/bin/env python3
"""Serves the demo site that the default build points at, on 127.0.0.1 only.

Usage: demo_site.py [port]. The pages are static; .php files are served as HTML because the real
login site's address ends in index.php.
"""
import functools
import http.server
import os
import sys


class Handler(http.server.SimpleHTTPRequestHandler):
    extensions_map = dict(http.server.SimpleHTTPRequestHandler.extensions_map, **{".php": "text/html; charset=utf-8",
                                                                                   ".html": "text/html; charset=utf-8"})

    def log_message(self, *args):
        pass  # quiet: the player's console is not a log


def main():
    port = int(sys.argv[1]) if len(sys.argv) > 1 else 8480
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "demo-site")
    handler = functools.partial(Handler, directory=root)
    with http.server.ThreadingHTTPServer(("127.0.0.1", port), handler) as server:
        server.serve_forever()


if __name__ == "__main__":
    main()
