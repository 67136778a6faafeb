#!/usr/bin/env bash
# The site with its data file missing, and with it cut short: the page reaches "failed"
# and shows the game's own report in view, where no blank canvas is left pretending to play.
source "$(dirname "$0")/lib.sh"

# Serves the broken copy of the site at DIR and expects the report. WHAT names the copy.
expect_report() {
    local what=$1 dir=$2
    echo "-- $what"
    open_page index.html "$dir"
    [ "$(web state)" != ready ] || click_canvas
    web wait-state failed 120 || fail "$what: the page never reached 'failed'"
    local report
    report=$(web text '#report')
    echo "report: $report"
    [[ $report == "Unexpected exception:"* ]] || fail "$what: the report is not the game's"
    # Where the page opens, the player sees the report, not a blank canvas alone.
    web in-view '#report' || fail "$what: the report is out of view"
    web screenshot "$ARTIFACTS/${what// /-}.png" html
}

cp -r "$SITE" "$WORK/no-data"
rm "$WORK/no-data/startug.data"
expect_report "without the data file" "$WORK/no-data"

cp -r "$SITE" "$WORK/cut-data"
truncate -s $(($(stat -c %s "$SITE/startug.data") / 2)) "$WORK/cut-data/startug.data"
expect_report "with the data file cut to half" "$WORK/cut-data"
echo "PASS"
