#!/usr/bin/python3
"""Drives the page open in a browser through its remote protocol, one command a call.

    browser.py chromium|firefox|webkit PORT COMMAND [ARGS...]
    browser.py webkit DRIVER_PORT open URL MINIBROWSER
    browser.py webkit PORT quit

PORT is the browser's remote-debugging port: Chromium's DevTools protocol, or Firefox's
WebDriver BiDi; for WebKitGTK it is DRIVER_PORT/SESSION, a session of WebKitWebDriver that
`open` starts with MiniBrowser at URL and prints, and `quit` ends with MiniBrowser.
Firefox and WebKitGTK serve the commands that read the page and take their pointer and
screenshots from the X server; WebKitGTK its keys too. Points are canvas pixels
(0..1023, 0..767) whatever size the page gives the canvas; keys are named as xdotool
names them.
    state | text SELECTOR     the page's state (body data-state), an element's text
    wait-state STATE SECONDS  waits until the state is STATE; exits 1 if it never is
    shown | in-view SELECTOR  exits 0 when the element is displayed / lies in the unscrolled
                              window, else 1
    screen-box SELECTOR       "X Y WIDTH HEIGHT" of the element in screen pixels
    eval EXPRESSION           the expression's value, as JSON
Chromium and WebKitGTK:
    key-down NAME | key-up NAME                     a key pressed, released
Chromium only:
    move X Y | down X Y [right] | up X Y [right]   the pointer, a button pressed, released
    click-element SELECTOR    a left click at the element's centre
    screenshot FILE [SELECTOR]  the canvas, a pixel per canvas pixel, or the element
Keys and buttons stay pressed between calls; mouse events carry the buttons held, as a
real mouse's do. Elements are scrolled into view to be clicked, then the page back up.
"""
import base64
import json
import sys
import time
import urllib.error
import urllib.request

import websocket

# xdotool key names: (DOM key, DOM code, Windows virtual key code, text typed, WebDriver key).
KEYS = {
    "Escape": ("Escape", "Escape", 27, "", "\uE00C"),
    "Pause": ("Pause", "Pause", 19, "", "\uE00B"),
    "F12": ("F12", "F12", 123, "", "\uE03C"),
    "space": (" ", "Space", 32, " ", " "),
    "Left": ("ArrowLeft", "ArrowLeft", 37, "", "\uE012"),
    "Up": ("ArrowUp", "ArrowUp", 38, "", "\uE013"),
    "Right": ("ArrowRight", "ArrowRight", 39, "", "\uE014"),
    "Down": ("ArrowDown", "ArrowDown", 40, "", "\uE015"),
}
BUTTON_BITS = {"left": 1, "right": 2}
CANVAS_WIDTH, CANVAS_HEIGHT = 1024, 768


class Connection:
    def __init__(self, url):
        self.socket = websocket.create_connection(url, timeout=300, suppress_origin=True)
        self.last_id = 0

    def send(self, method, **params):
        self.last_id += 1
        self.socket.send(json.dumps({"id": self.last_id, "method": method, "params": params}))
        while (reply := json.loads(self.socket.recv())).get("id") != self.last_id:
            pass
        if "error" in reply:
            sys.exit(f"browser: {method}: {reply.get('message') or reply['error']}")
        return reply["result"]

    def close(self):
        self.socket.close()


class Chromium(Connection):
    def __init__(self, port):
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=30) as r:
            page = next(t for t in json.load(r) if t["type"] == "page")
        super().__init__(page["webSocketDebuggerUrl"])

    def evaluate(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True)
        return result["result"].get("value"), result.get("exceptionDetails")

    def key(self, command, name):
        key, code, vk, text, _ = KEYS[name]
        # A key that types no text goes down raw, without a keypress.
        kind = "keyUp" if command == "key-up" else "keyDown" if text else "rawKeyDown"
        self.send("Input.dispatchKeyEvent", type=kind, key=key, code=code, text=text,
                  unmodifiedText=text, windowsVirtualKeyCode=vk)


class Firefox(Connection):
    def __init__(self, port):
        super().__init__(f"ws://127.0.0.1:{port}/session")
        self.send("session.new", capabilities={})
        self.context = self.send("browsingContext.getTree")["contexts"][0]["context"]

    def evaluate(self, expression):
        result = self.send("script.evaluate", expression=expression,
                           target={"context": self.context}, awaitPromise=False)
        return result.get("result", {}).get("value"), result.get("exceptionDetails")

    def close(self):  # Firefox takes one session at a time
        self.send("session.end")
        super().close()


class WebKit:
    def __init__(self, address):
        self.session = f"http://127.0.0.1:{address}"

    def request(self, method, path, body=None):
        request = urllib.request.Request(
            self.session + path, method=method, headers={"Content-Type": "application/json"},
            data=None if body is None else json.dumps(body).encode())
        try:
            with urllib.request.urlopen(request, timeout=300) as reply:
                return json.load(reply)["value"]
        except urllib.error.HTTPError as error:  # WebDriver's errors come with a body
            return json.load(error)["value"]

    def evaluate(self, expression):
        value = self.request("POST", "/execute/sync", {"script": f"return {expression}",
                                                       "args": []})
        if isinstance(value, dict) and "error" in value:
            return None, {"text": value.get("message") or value["error"]}
        return value, None

    def close(self):
        pass

    # Keys go through WebDriver: MiniBrowser keeps F12 from the X server for its inspector.
    def key(self, command, name):
        kind = "keyUp" if command == "key-up" else "keyDown"
        self.request("POST", "/actions", {"actions": [{"type": "key", "id": "keyboard",
                                                       "actions": [{"type": kind,
                                                                    "value": KEYS[name][4]}]}]})

    # A MiniBrowser window filling the 1280x1024 screen, showing the canvas at 1:1.
    @staticmethod
    def open(port, url, binary):
        driver = WebKit(f"{port}/session")
        session = driver.request("POST", "", {"capabilities": {"alwaysMatch": {
            "browserName": "MiniBrowser",
            "webkitgtk:browserOptions": {"binary": binary, "args": ["--automation"]}}}})
        if "sessionId" not in session:
            sys.exit(f"browser: no WebKitGTK session: {session}")
        page = WebKit(f"{port}/session/{session['sessionId']}")
        page.request("POST", "/window/rect", {"x": 0, "y": 0, "width": 1280, "height": 1024})
        page.request("POST", "/url", {"url": url})
        print(f"{port}/session/{session['sessionId']}")


class Page:
    def __init__(self, browser):
        self.browser = browser

    def eval(self, expression):
        value, exception = self.browser.evaluate(f"JSON.stringify({expression})")
        if exception:
            sys.exit(f"browser: {expression}: {exception['text']}")
        return None if value is None else json.loads(value)  # undefined has no JSON

    # The element's box in the window, scrolled into view first; with page, in the page.
    def rect(self, selector, page=False):
        return self.eval(f"(e => {{ e.scrollIntoView({{block: 'nearest'}}); "
                         f"const r = e.getBoundingClientRect(), p = {int(page)}; "
                         f"return {{x: r.left + p * scrollX, y: r.top + p * scrollY, "
                         f"width: r.width, height: r.height}}; }})"
                         f"(document.querySelector('{selector}'))")

    def canvas_point(self, x, y):
        r = self.rect("#canvas")
        return (r["x"] + (float(x) + 0.5) * r["width"] / CANVAS_WIDTH,
                r["y"] + (float(y) + 0.5) * r["height"] / CANVAS_HEIGHT)

    def mouse(self, kind, x, y, button="none"):
        # The buttons held between calls live in the page, where a mouse event left them.
        held = self.eval("window.heldButtons || 0")
        bit = BUTTON_BITS.get(button, 0)
        held = held | bit if kind == "mousePressed" else held & ~bit
        self.browser.send("Input.dispatchMouseEvent", type=kind, x=x, y=y, button=button,
                          buttons=held, clickCount=1 if bit else 0)
        self.eval(f"window.heldButtons = {held}")

    def wait_state(self, state, seconds):
        deadline = time.monotonic() + float(seconds)
        while (now := self.eval("document.body.dataset.state")) != state:
            if time.monotonic() > deadline:
                sys.exit(f"browser: the state is '{now}', never '{state}'")
            time.sleep(0.1)

    def screenshot(self, path, selector="#canvas"):
        canvas = selector == "#canvas"
        r = self.rect(selector, page=True)
        data = self.browser.send("Page.captureScreenshot", format="png",
                                 clip=dict(r, scale=CANVAS_WIDTH / r["width"] if canvas else 1),
                                 captureBeyondViewport=not canvas)
        with open(path, "wb") as f:
            f.write(base64.b64decode(data["data"]))

    def run(self, command, *args):
        element = f"document.querySelector('{args[0]}')" if args else ""
        if command in ("state", "text"):
            print(self.eval(f"{element}.textContent" if args else "document.body.dataset.state"))
        elif command == "wait-state":
            self.wait_state(*args)
        elif command == "shown":
            return 0 if self.eval(f"!!{element}.offsetParent") else 1
        elif command == "in-view":
            return 0 if self.eval(f"(scrollTo(0, 0), (r => r.height > 0 && r.top >= 0 && r.left "
                                  f">= 0 && r.bottom <= innerHeight && r.right <= innerWidth)"
                                  f"({element}.getBoundingClientRect()))") else 1
        elif command == "screen-box":
            r = self.rect(args[0])
            # The page's corner on the screen: Firefox tells it; elsewhere the browser's own
            # bar is taken to lie above the page, its frame evenly on both sides.
            x, y = self.eval("[window.mozInnerScreenX ?? screenX + (outerWidth - innerWidth) / 2, "
                             "window.mozInnerScreenY ?? screenY + outerHeight - innerHeight]")
            print(round(x + r["x"]), round(y + r["y"]), round(r["width"]), round(r["height"]))
        elif command == "eval":
            print(json.dumps(self.eval(args[0])))
        elif command == "click-element":
            r = self.rect(args[0])
            centre = (r["x"] + r["width"] / 2, r["y"] + r["height"] / 2)
            self.mouse("mousePressed", *centre, "left")
            self.mouse("mouseReleased", *centre, "left")
            self.eval("void scrollTo(0, 0)")
        elif command == "move":
            self.mouse("mouseMoved", *self.canvas_point(*args))
        elif command in ("down", "up"):
            kind = "mousePressed" if command == "down" else "mouseReleased"
            self.mouse(kind, *self.canvas_point(*args[:2]), *args[2:] or ["left"])
        elif command in ("key-down", "key-up"):
            self.browser.key(command, args[0])
        elif command == "screenshot":
            self.screenshot(*args)
        else:
            sys.exit(f"browser: unknown command {command}")
        return 0


def main(kind, port, *command):
    if kind == "webkit" and command[0] in ("open", "quit"):
        if command[0] == "open":
            WebKit.open(port, *command[1:])
        else:
            WebKit(port).request("DELETE", "")
        return
    browser = {"chromium": Chromium, "firefox": Firefox, "webkit": WebKit}[kind](port)
    try:
        status = Page(browser).run(*command)
    finally:
        browser.close()
    sys.exit(status)


main(*sys.argv[1:])
