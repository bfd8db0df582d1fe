#!/usr/bin/env bash
# The site check's page in a real browser: headless Chromium loads the page
# made from a test share (its flagged machine script holds markup), and the
# DOM it produced must show every finding row, a preset filter applied, the
# share's markup as text only, and the page's script run to its end with no
# error on the console. The screenshot is kept as an artefact.
#   tests/check/browser/page_test.sh BUILD_DIR
set -euo pipefail
build=${1:?usage: page_test.sh BUILD_DIR}
check=$build/tarnwick-check
out=$(realpath "$build")/browser-test
rm -rf "$out" && mkdir -p "$out/share/GLOBAL" "$out/share/MACHINE"
printf 'Xbad line\r\nUSoftware\\A.N=Dtwelve\r\n' >"$out/share/GLOBAL/_DEFAULT.DAT"
printf '<script>alert(1)</script>\r\n"><img src=x onerror=alert(1)>\r\n' \
  >"$out/share/MACHINE/WS02.DAT"
printf '; fine\r\n' >"$out/share/MACHINE/WS01.DAT"
"$check" --all-machines --user jsmith --datetime x --html "$out/page.html" "$out/share" \
  >/dev/null || [ $? -eq 1 ]

browse() {
  local profile
  profile=$(mktemp -d)
  timeout 60 chromium --headless --no-sandbox --disable-gpu --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --user-data-dir="$profile" --enable-logging=stderr --v=0 "$@" 2>>"$out/console.log"
  rm -rf "$profile"
}
: >"$out/console.log"
browse --dump-dom "file://$out/page.html" >"$out/all.html"
browse --dump-dom "file://$out/page.html#filter=onerror" >"$out/filtered.html"
browse --screenshot="$out/page.png" --window-size=1200,900 "file://$out/page.html" >/dev/null

failed=0
expect() {  # expect WHAT COUNT FILE PATTERN
  local got
  got=$( (grep -o -- "$4" "$3" || true) | wc -l)
  if [ "$got" -ne "$2" ]; then
    echo "FAIL: $1: $got, expected $2"
    failed=1
  else
    echo "ok: $1"
  fi
}
expect "the script ran to its end" 1 "$out/all.html" 'data-ready="yes"'
expect "every finding has its row" 11 "$out/all.html" '<tr class="[a-z]*" data-severity'
expect "no row hidden without a filter" 0 "$out/all.html" 'data-severity="[a-z]*" hidden'
expect "the filter leaves one row" 10 "$out/filtered.html" 'data-severity="[a-z]*" hidden'
expect "the count says so" 1 "$out/filtered.html" '1 of 11 findings shown'
expect "the share's markup is text" 0 "$out/all.html" '<img'
expect "one script element, the page's" 1 "$out/all.html" '<script>'
expect "no script error on the console" 0 "$out/console.log" 'Uncaught'
[ -s "$out/page.png" ] && echo "ok: screenshot $out/page.png" || { echo "FAIL: no screenshot"; failed=1; }
[ "$failed" -eq 0 ] && echo "1 passed, 0 failed" || echo "0 passed, 1 failed"
exit "$failed"
