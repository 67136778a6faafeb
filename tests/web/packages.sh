# What the web tests need beyond the display tests' packages: the browsers, and the
# WebSocket client for Debian's own python3, which speaks to them.
STARTUG_WEB_TEST_PACKAGES="chromium firefox-esr python3-websocket"
