#!/usr/bin/python3
"""Drives the page open in a browser through its remote protocol, one command a call.

    browser.py chromium|firefox PORT COMMAND [ARGS...]

PORT is the browser's remote-debugging port: Chromium's DevTools protocol, or Firefox's
WebDriver BiDi, which serves only the commands that read the page (Firefox gets its input
and screenshots from the X server). Points are canvas pixels (0..1023, 0..767) whatever
size the page gives the canvas; keys are named as xdotool names them.
    state                     document.body.dataset.state
    wait-state STATE SECONDS  waits until the state is STATE; exits 1 if it never is
    text SELECTOR             the element's text
    shown SELECTOR            exits 0 when the element is displayed, 1 when not
    in-view SELECTOR          exits 0 when the element lies in the window unscrolled
    screen-box SELECTOR       "X Y WIDTH HEIGHT" of the element in screen pixels, scrolled
                              into view
    eval EXPRESSION           the expression's value, as JSON
Chromium only:
    click-element SELECTOR    a left click at the element's centre
    move X Y                  the pointer to a canvas point
    down|up X Y [left|right]  a button pressed or released at a canvas point
    key-down|key-up NAME      a key pressed or released
    screenshot FILE.png [SELECTOR]  the canvas, one image pixel per canvas pixel, or the
                              element, one image pixel per CSS pixel
Pressed keys and buttons stay pressed in the page between calls; each mouse event carries
the buttons held, as a real mouse's do.
"""
import base64
import json
import sys
import time
import urllib.request

import websocket

# xdotool key names: (DOM key, DOM code, Windows virtual key code, text typed).
KEYS = {
    "Escape": ("Escape", "Escape", 27, ""),
    "Pause": ("Pause", "Pause", 19, ""),
    "F12": ("F12", "F12", 123, ""),
    "space": (" ", "Space", 32, " "),
    "Left": ("ArrowLeft", "ArrowLeft", 37, ""),
    "Up": ("ArrowUp", "ArrowUp", 38, ""),
    "Right": ("ArrowRight", "ArrowRight", 39, ""),
    "Down": ("ArrowDown", "ArrowDown", 40, ""),
}
BUTTON_BITS = {"left": 1, "right": 2}
CANVAS_WIDTH, CANVAS_HEIGHT = 1024, 768


class Connection:
    def __init__(self, url):
        self.socket = websocket.create_connection(url, timeout=60, suppress_origin=True)
        self.last_id = 0

    def send(self, method, **params):
        self.last_id += 1
        self.socket.send(json.dumps({"id": self.last_id, "method": method, "params": params}))
        while (reply := json.loads(self.socket.recv())).get("id") != self.last_id:
            pass
        if "error" in reply:
            sys.exit(f"browser: {method}: {reply.get('message') or reply['error']}")
        return reply["result"]


class Chromium(Connection):
    def __init__(self, port):
        with urllib.request.urlopen(f"http://127.0.0.1:{port}/json/list", timeout=30) as r:
            page = next(t for t in json.load(r) if t["type"] == "page")
        super().__init__(page["webSocketDebuggerUrl"])

    def json_of(self, expression):
        result = self.send("Runtime.evaluate", expression=expression, returnByValue=True)
        if "exceptionDetails" in result:
            sys.exit(f"browser: {expression}: {result['exceptionDetails']['text']}")
        return result["result"].get("value")

    def close(self):
        self.socket.close()


class Firefox(Connection):
    def __init__(self, port):
        super().__init__(f"ws://127.0.0.1:{port}/session")
        self.send("session.new", capabilities={})
        self.context = self.send("browsingContext.getTree")["contexts"][0]["context"]

    def json_of(self, expression):
        result = self.send("script.evaluate", expression=expression,
                           target={"context": self.context}, awaitPromise=False)
        if result["type"] == "exception":
            sys.exit(f"browser: {expression}: {result['exceptionDetails']['text']}")
        return result["result"].get("value")

    def close(self):  # Firefox takes one session at a time
        self.send("session.end")
        self.socket.close()


class Page:
    def __init__(self, browser):
        self.browser = browser

    def eval(self, expression):
        value = self.browser.json_of(f"JSON.stringify({expression})")
        return None if value is None else json.loads(value)  # undefined has no JSON

    # The element's box in the viewport, scrolled into view first; with page, in the page.
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

    def key(self, kind, name):
        key, code, vk, text = KEYS[name]
        if kind == "keyDown" and not text:
            kind = "rawKeyDown"
        self.browser.send("Input.dispatchKeyEvent", type=kind, key=key, code=code, text=text,
                          unmodifiedText=text, windowsVirtualKeyCode=vk)

    def wait_state(self, state, seconds):
        deadline = time.monotonic() + float(seconds)
        while (now := self.eval("document.body.dataset.state")) != state:
            if time.monotonic() > deadline:
                sys.exit(f"browser: the state is '{now}', never '{state}'")
            time.sleep(0.1)

    def screenshot(self, path, selector="#canvas"):
        r = self.rect(selector, page=True)
        scale = CANVAS_WIDTH / r["width"] if selector == "#canvas" else 1
        data = self.browser.send("Page.captureScreenshot", format="png", clip=dict(r, scale=scale),
                                 captureBeyondViewport=True)["data"]
        with open(path, "wb") as f:
            f.write(base64.b64decode(data))

    def run(self, command, *args):
        if command == "state":
            print(self.eval("document.body.dataset.state"))
        elif command == "wait-state":
            self.wait_state(*args)
        elif command == "text":
            print(self.eval(f"document.querySelector('{args[0]}').textContent"))
        elif command == "shown":
            return 0 if self.eval(f"!!document.querySelector('{args[0]}').offsetParent") else 1
        elif command == "in-view":
            return 0 if self.eval(f"(scrollTo(0, 0), (r => r.height > 0 && r.top >= 0 && "
                                  f"r.left >= 0 && r.bottom <= innerHeight && r.right <= "
                                  f"innerWidth)(document.querySelector('{args[0]}')"
                                  f".getBoundingClientRect()))") else 1
        elif command == "screen-box":
            r = self.rect(args[0])
            origin = self.eval("[window.mozInnerScreenX || 0, window.mozInnerScreenY || 0]")
            print(round(origin[0] + r["x"]), round(origin[1] + r["y"]),
                  round(r["width"]), round(r["height"]))
        elif command == "eval":
            print(json.dumps(self.eval(args[0])))
        elif command == "click-element":
            r = self.rect(args[0])
            centre = (r["x"] + r["width"] / 2, r["y"] + r["height"] / 2)
            self.mouse("mousePressed", *centre, "left")
            self.mouse("mouseReleased", *centre, "left")
            self.eval("void scrollTo(0, 0)")  # back to the game, as a player scrolls
        elif command == "move":
            self.mouse("mouseMoved", *self.canvas_point(*args))
        elif command in ("down", "up"):
            kind = "mousePressed" if command == "down" else "mouseReleased"
            self.mouse(kind, *self.canvas_point(*args[:2]), *args[2:] or ["left"])
        elif command in ("key-down", "key-up"):
            self.key("keyDown" if command == "key-down" else "keyUp", args[0])
        elif command == "screenshot":
            self.screenshot(*args)
        else:
            sys.exit(f"browser: unknown command {command}")
        return 0


def main(kind, port, *command):
    browser = {"chromium": Chromium, "firefox": Firefox}[kind](port)
    try:
        status = Page(browser).run(*command)
    finally:
        browser.close()
    sys.exit(status)


main(*sys.argv[1:])
