#!/usr/bin/python3
"""Drives check.js (built in the folder given) in headless Chromium through the DevTools
protocol: input events in, console lines and screen pixels out. Waits for the program's
answers, never for a time."""
import base64, json, os, re, signal, socket, struct, subprocess, sys, tempfile, time
import urllib.request, zlib
import websocket

failures = []


def check(what, ok):
    print(("ok   " if ok else "FAIL ") + what)
    if not ok:
        failures.append(what)


def free_port():
    with socket.socket() as s:
        s.bind(("127.0.0.1", 0))
        return s.getsockname()[1]


def fetch(url, process):
    """The body at url, once the process serving it answers."""
    while process.poll() is None:
        try:
            return urllib.request.urlopen(url).read()
        except OSError:
            time.sleep(0.1)
    raise RuntimeError("%s ended before serving %s" % (process.args[0], url))


class Page:
    def __init__(self, url):
        self.ws = websocket.create_connection(url, timeout=300)
        self.next_id, self.lines = 0, []
        self.call("Runtime.enable")

    def call(self, method, **params):
        self.next_id += 1
        self.ws.send(json.dumps({"id": self.next_id, "method": method, "params": params}))
        while True:
            message = json.loads(self.ws.recv())
            if message.get("method") == "Runtime.consoleAPICalled":
                self.lines += [str(a.get("value")) for a in message["params"]["args"]]
            if message.get("method") == "Runtime.exceptionThrown":
                self.lines.append("exception " + json.dumps(message["params"]))
            if message.get("id") == self.next_id:
                return message.get("result", {})

    def js(self, expression):
        return self.call("Runtime.evaluate", expression=expression,
                         returnByValue=True)["result"].get("value")

    def wait(self, pattern, after=0):
        """Index of the first console line from `after` on that matches."""
        while True:
            for i in range(after, len(self.lines)):
                if re.search(pattern, self.lines[i]):
                    return i
                if self.lines[i].startswith("exception"):
                    raise RuntimeError(self.lines[i])
            self.js("new Promise(r => setTimeout(r, 50))")

    def state(self, pattern):
        """Waits for the program to print a state matching, and returns its line's index."""
        return self.wait("state: .*" + pattern, len(self.lines) - 1)

    def key(self, kind, code, key, **extra):
        self.call("Input.dispatchKeyEvent", type=kind, code=code, key=key, **extra)

    def mouse(self, kind, x, y, button="none"):
        self.call("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button, clickCount=1)

    def pixel(self, x, y):
        """The screen's pixel as (r, g, b): a 1x1 PNG, whose one row needs no unfiltering."""
        png = base64.b64decode(self.call("Page.captureScreenshot", clip=dict(
            x=x, y=y, width=1, height=1, scale=1))["data"])
        data, at = b"", 8
        while at < len(png):
            length, kind = struct.unpack(">I4s", png[at:at + 8])
            data += png[at + 8:at + 8 + length] if kind == b"IDAT" else b""
            at += 12 + length
        return tuple(zlib.decompress(data)[1:4])


def run(page, url):
    page.call("Page.navigate", url=url + "?nowebgl2")
    page.wait("exit status 1")
    check("without WebGL 2 the mode fails, saying why",
          "This browser cannot draw with WebGL 2" in page.js("reports.join()"))

    page.lines = []
    page.call("Page.navigate", url=url)
    page.wait("state:")
    text = "\n".join(page.lines)
    check("GFX_OPENGL: 1024x768, 24 depth bits, 32-bit colour",
          "mode: depth bits 24 colour depth 32 screen 1024x768" in text)
    check("drivers install", "close button: 0\ninstall: keyboard 0 mouse 3 timer 0" in text)
    # The corpus files as Debian's Allegro reads them natively.
    check("TGA and PCX font loaded, text drawn",
          "loaders: image 7x3x32 pixel 13,255,0,255 font height 4 ink 19" in text)
    check("window title", page.js("document.title") == "Web check")
    cursor = "getComputedStyle(document.querySelector('#canvas')).cursor"
    check("pointer hidden over the canvas", page.js(cursor) == "none")
    check("mouse starts at the centre", "mouse 512 384 0" in page.lines[-1])

    page.key("keyDown", "Space", " ")
    page.state("space 1")
    check("SPACE held", page.pixel(512, 384) == (64, 255, 64))
    for _ in range(3):
        page.key("keyDown", "Space", " ", autoRepeat=True)
    page.key("rawKeyDown", "KeyA", "a")
    held = page.state("space 1 .* a 1")
    check("key repeat keeps SPACE down",
          not any("space 0" in line for line in page.lines[page.wait("space 1"):held]))
    page.js("window.dispatchEvent(new Event('blur'))")
    page.state("space 0 .* a 0")
    for code, key, name in [("Pause", "Pause", "pause"), ("F12", "F12", "f12"),
                            ("ArrowUp", "ArrowUp", "up"), ("Digit1", "1", " 1")]:
        page.key("rawKeyDown", code, key)
        page.state(name + " 1")
        page.key("keyUp", code, key)
        page.state(name + " 0")
    check("blur, PAUSE, F12, UP, 1", True)
    prevented = "!window.dispatchEvent(new KeyboardEvent('%s', {code: '%s', cancelable: true}))"
    check("a known key's default action prevented", page.js(prevented % ("keydown", "Tab")))
    page.js(prevented % ("keyup", "Tab"))
    check("an unknown key's not", not page.js(prevented % ("keydown", "Lang1")))

    size = "document.querySelector('#canvas').style.width = '%dpx'; " \
           "document.querySelector('#canvas').style.height = '%dpx'"
    page.mouse("mouseMoved", 100, 50)
    page.state("mouse 100 50 0")
    page.js(size % (512, 384))
    page.mouse("mouseMoved", 100, 50)
    page.state("mouse 200 100 0")
    page.js(size % (1000, 400))  # letterboxed: 533.33 x 400 from x = 233.33
    page.mouse("mouseMoved", 500, 200)
    page.state("mouse 512 384 0")
    page.mouse("mouseMoved", 234, 0)
    page.state("mouse 1 0 0")
    check("pointer in drawing-buffer pixels at full, half and letterboxed size", True)
    page.mouse("mousePressed", 500, 200, "left")
    page.state("mouse 512 384 1")
    check("left button held", page.pixel(500, 200) == (255, 64, 64))
    page.mouse("mouseMoved", 1100, 900, "left")
    page.mouse("mouseReleased", 1100, 900, "left")
    page.state("mouse 512 384 0")
    page.mouse("mousePressed", 500, 200, "right")
    page.state("mouse 512 384 2")
    check("right button held", page.pixel(500, 200) == (64, 64, 255))
    check("no context menu over the canvas", page.js(
        "!document.querySelector('#canvas').dispatchEvent("
        "new MouseEvent('contextmenu', {cancelable: true, bubbles: true}))"))
    page.mouse("mouseReleased", 500, 200, "right")
    page.state("mouse 512 384 0")

    page.key("rawKeyDown", "Escape", "Escape")
    page.wait("loop ended")
    page.key("keyUp", "Escape", "Escape")
    page.wait("exit status 0")
    check("allegro_message reaches Module.startugReport and stderr",
          page.js("reports.join()") == "done" and "done" in page.lines)
    check("text mode gives the pointer back", page.js(cursor) != "none")
    check("the canvas keeps the last frame", page.pixel(500, 200) == (64, 64, 64))
    check("after the exit keys are the page's", not page.js(prevented % ("keydown", "Space")))


def end_group(process):
    """Ends the process and its children, which share its process group, and waits for all."""
    os.killpg(process.pid, signal.SIGTERM)
    process.wait()
    while True:
        try:
            os.killpg(process.pid, 0)
        except ProcessLookupError:
            return
        time.sleep(0.1)


def main(folder):
    http, devtools = free_port(), free_port()
    server = subprocess.Popen([sys.executable, "-m", "http.server", "--bind", "127.0.0.1",
                               str(http)], cwd=folder, stdout=subprocess.DEVNULL,
                              stderr=subprocess.DEVNULL)
    profile = tempfile.TemporaryDirectory()
    browser = subprocess.Popen(
        ["chromium", "--headless=new", "--no-sandbox", "--use-angle=swiftshader",
         "--enable-unsafe-swiftshader", "--no-first-run", "--disable-background-networking",
         "--disable-component-update", "--disable-sync", "--window-size=1280,1024",
         "--user-data-dir=" + profile.name, "--remote-debugging-port=%d" % devtools,
         "about:blank"], stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL,
        start_new_session=True)
    try:
        page_url = "http://127.0.0.1:%d/index.html" % http
        fetch(page_url, server)
        targets = json.loads(fetch("http://127.0.0.1:%d/json/list" % devtools, browser))
        page = Page([t for t in targets if t["type"] == "page"][0]["webSocketDebuggerUrl"])
        run(page, page_url)
    finally:
        server.terminate()
        end_group(browser)
        profile.cleanup()
    print("%d failures" % len(failures))
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1]))
