#!/usr/bin/python3
"""Opens a page in headless Chromium, waits until noVNC shows the remote
screen, and saves what the page shows as a PNG.

usage: browser_view.py URL OUT.png [SECONDS]
"""
import base64
import json
import re
import shutil
import subprocess
import sys
import tempfile
import time

import websocket

CHROMIUM_FLAGS = [
    "--headless", "--no-sandbox", "--disable-gpu", "--disable-quic", "--no-first-run",
    "--disable-background-networking", "--disable-component-update", "--disable-sync",
    "--window-size=1300,1100", "--remote-debugging-port=0", "about:blank",
]


def devtools_address(browser, deadline):
    pattern = re.compile(r"DevTools listening on (ws://\S+)")
    while time.time() < deadline:
        line = browser.stderr.readline()
        if not line:
            break
        found = pattern.search(line)
        if found:
            return found.group(1)
    raise SystemExit("browser_view: Chromium did not start")


class Session:
    def __init__(self, address):
        self.socket = websocket.create_connection(address, timeout=30)
        self.next_id = 0

    def call(self, method, session=None, **params):
        self.next_id += 1
        message = {"id": self.next_id, "method": method, "params": params}
        if session:
            message["sessionId"] = session
        self.socket.send(json.dumps(message))
        while True:
            reply = json.loads(self.socket.recv())
            if reply.get("id") == self.next_id:
                if "error" in reply:
                    raise SystemExit(f"browser_view: {method}: {reply['error']}")
                return reply.get("result", {})


# noVNC has received the remote screen: its canvas has the screen's size.
SHOWN = "(() => { const c = document.querySelector('canvas'); return !!c && c.width >= 1280 && c.height >= 1024; })()"


def main():
    if len(sys.argv) < 3:
        raise SystemExit(__doc__)
    url, out = sys.argv[1], sys.argv[2]
    seconds = float(sys.argv[3]) if len(sys.argv) > 3 else 60
    deadline = time.time() + seconds
    profile = tempfile.mkdtemp()
    binary = shutil.which("chromium") or "/usr/bin/chromium"
    browser = subprocess.Popen([binary, f"--user-data-dir={profile}", *CHROMIUM_FLAGS],
                               stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, text=True)
    try:
        session = Session(devtools_address(browser, deadline))
        target = session.call("Target.createTarget", url=url)["targetId"]
        page = session.call("Target.attachToTarget", targetId=target, flatten=True)["sessionId"]
        shown = False
        while time.time() < deadline and not shown:
            time.sleep(0.5)
            result = session.call("Runtime.evaluate", page, expression=SHOWN, returnByValue=True)
            shown = result.get("result", {}).get("value") is True
        if not shown:
            raise SystemExit("browser_view: the page did not show the remote screen in time")
        time.sleep(3.0)  # the first full update
        shot = session.call("Page.captureScreenshot", page, format="png")
        with open(out, "wb") as file:
            file.write(base64.b64decode(shot["data"]))
    finally:
        browser.terminate()
        try:
            browser.wait(10)
        except subprocess.TimeoutExpired:
            browser.kill()
        shutil.rmtree(profile, ignore_errors=True)


if __name__ == "__main__":
    main()
