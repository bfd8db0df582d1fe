#!/usr/bin/env bash
# The logon's event under Wine: the Windows build runs a few small shares
# with Wine's event-log trace switched on (its debug channel eventlog), and
# the trace shows the event each run wrote: its type (trace for
# Information, warn for Warning, err for Error) and its string. Also: the
# release's .reg registers the event source as intended. Needs the mingw
# build (tarnwick.exe, run_logon.exe and its Wine prefix); scripts/test runs
# it after the differential suite.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
. scripts/lib.sh
begin_checks
check() { # check NAME EXPECTED ACTUAL
  if [ "$2" = "$3" ]; then
    passed_check "$1"
  else
    failed_check "$1"; printf '    expected: %s\n    got:      %s\n' "$2" "$3"
  fi
}
cmake --build --preset mingw --target tarnwick run_logon >/dev/null
use_wine_prefix "$root/build/mingw/wineprefix"

# share NAME SETTINGS SCRIPT: a share of one global script.
share() {
  mkdir -p "$work/$1/GLOBAL"
  printf 'Process=*\r\n%s' "$2" >"$work/$1/tarnwick.ini"
  printf '%s' "$3" >"$work/$1/GLOBAL/_DEFAULT.DAT"
  cp build/mingw/tarnwick.exe "$work/$1/"
}
share clean "" $'; nothing to do\r\n'
share messages "" $'Xbogus\r\n; fine\r\n'
share badcount "" $'Xnever run\r\n'
share startup $'Macros=NONE.DAT\r\n' $'Xnever run\r\n'
share off $'EventLog=0\r\n' $'Xbogus\r\n'
share noscript $'Default=NONE\r\n' $'Xnever run\r\n'

# Each run in one Xvfb session: the record cleared first (the badcount run
# finds an ErrorCount of the wrong type), the trace kept per share. What is
# compared: the type and the string, the user's and machine's lines and
# the time dropped (they differ from machine to machine).
under_wine bash -c 'for name in clean messages badcount startup off noscript; do
    wine reg delete "HKCU\Software\Brackenlow\Tarnwick\Errors" /f >/dev/null 2>&1
    [ $name = badcount ] && wine reg add "HKCU\Software\Brackenlow\Tarnwick\Errors" \
      /v ErrorCount /t REG_SZ /d 3 /f >/dev/null 2>&1
    (cd "$1/$name" && WINEDEBUG=-all,+eventlog wine "$2" ".\\tarnwick.exe" >/dev/null 2>"$1/$name.trace")
  done
  wine reg delete "HKCU\Software\Brackenlow\Tarnwick\Errors" /f >/dev/null 2>&1 || true' \
  - "$work" "$root/build/mingw/run_logon.exe"
event() { # the event of a share's trace: "<type> <string>"
  sed -n 's/^[0-9a-f]*:\([a-z]*\):eventlog:ReportEventW L"\(.*\)"\r\{0,1\}$/\1 \2/p' "$work/$1.trace" |
    sed 's/User: [^\\]*\\nMachine: [^\\]*\\nDate and time: [^\\]*\\n//'
}
user=$(id -un)
check "a run without messages: Information" \
  'trace Script files: GLOBAL\\_DEFAULT.DAT\nMessages: 0' "$(event clean)"
check "a run with messages: Warning, each message on its line" \
  'warn Script files: GLOBAL\\_DEFAULT.DAT\nMessages: 1\nUnknown command : Xbogus' "$(event messages)"
check "a run stopped by a wrong-typed ErrorCount: Error with the failure" \
  "err Script files: none\\nFailure: Invalid data type for 'ErrorCount'\\nMessages: 0" "$(event badcount)"
check "a start-up failure: Error with the failure" \
  'err Script files: none\nFailure: Cannot open file NONE.DAT\nMessages: 0' "$(event startup)"
check "EventLog=0: no event" "" "$(event off)"
# The trace doubles each backslash of the string.
noscript=$(winepath -w "$work/noscript" 2>/dev/null | tr -d '\r' | sed 's/\\/\\\\/g')
check "a run that finds no script file: Warning naming the settings file and the folders" \
  "warn Script files: none\\nSettings file: $noscript\\\\tarnwick.INI\\nFolders searched: $noscript\\\\GLOBAL\\\\\\nMessages: 0" \
  "$(event noscript)"
check "the event names the user" "1" \
  "$(grep -c "ReportEventW L\"User: $user\\\\nMachine: " "$work/messages.trace" || true)"

# The .reg of the release registers the source with the event-creation
# tool's message file.
wine reg import packaging/tarnwick-eventlog.reg >/dev/null 2>&1
key='HKLM\SYSTEM\CurrentControlSet\Services\EventLog\Application\Tarnwick'
check "the .reg registers the source" \
  'EventMessageFile REG_EXPAND_SZ %SystemRoot%\System32\EventCreate.exe' \
  "$(wine reg query "$key" /v EventMessageFile 2>/dev/null | tr -d '\r' | awk 'NF==3{print $1, $2, $3}')"
wine reg delete "$key" /f >/dev/null 2>&1 || true
wineserver -k 2>/dev/null || true

end_checks
