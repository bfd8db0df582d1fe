#!/usr/bin/env bash
# The release packages of scripts/package: what the zip and the .deb hold,
# the form of the Windows program, that two packagings give the same zip,
# signing, lintian on the .deb, and logons through logon.cmd under Wine in
# Xvfb from folders that stand for NETLOGON: the zip's top level alone (the
# starter) and the sample share. Needs the mingw build (its run_logon.exe
# and Wine prefix); scripts/test runs it after the differential suite.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
. scripts/lib.sh
need_command lintian lintian
install_needed
begin_checks
check() { # check NAME COMMAND...: one assertion, told by its name
  if "${@:2}" >"$work/check.log" 2>&1; then
    passed_check "$1"
  else
    failed_check "$1"; sed 's/^/    /' "$work/check.log"
  fi
}
same() { [ "$1" = "$2" ] || { printf 'expected:\n%s\ngot:\n%s\n' "$1" "$2"; return 1; }; }
version=$(sed -n 's/^project(tarnwick VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
zip=tarnwick-$version-windows-x64.zip deb=tarnwick_${version}_amd64.deb

# Two packagings, the second after relinking the programs, and one signed
# with a throwaway certificate.
scripts/package --out "$work/one" >/dev/null
rm -f build/release-mingw/*.exe build/release-native/tarnwick build/release-native/tarnwick-check
scripts/package --out "$work/two" >/dev/null
check "two packagings give the same zip" cmp "$work/one/$zip" "$work/two/$zip"
check "two packagings give the same .deb" cmp "$work/one/$deb" "$work/two/$deb"
echo secret >"$work/pass.txt"
openssl req -x509 -newkey rsa:2048 -nodes -days 2 -subj "/CN=Tarnwick test signer" \
  -addext extendedKeyUsage=codeSigning -keyout "$work/key.pem" -out "$work/cert.pem" 2>/dev/null
openssl pkcs12 -export -inkey "$work/key.pem" -in "$work/cert.pem" -out "$work/signer.pfx" \
  -passout "file:$work/pass.txt"
scripts/package --sign "$work/signer.pfx" --pass-file "$work/pass.txt" --out "$work/signed" >/dev/null

unzip -q "$work/one/$zip" -d "$work/zip"
unzip -q "$work/signed/$zip" -d "$work/signed/zip"
files_below() { (cd "$1" && find . -type f | sed 's|^\./||' | LC_ALL=C sort); }
# Every file the zip must hold, and nothing else: at the top level the
# payload of the login share and SHA256SUMS; the checker and the event
# source in tools/, the guide with every picture it names in doc/, the
# sample share whole in examples/share/.
in_zip() {
  printf '%s\n' tarnwick.exe logon.cmd tarnwick.ini SHA256SUMS \
    GLOBAL/_DEFAULT.DAT GROUP/_DEFAULT.DAT USER/_DEFAULT.DAT MACHINE/_DEFAULT.DAT \
    tools/tarnwick-check.exe tools/tarnwick-eventlog.reg doc/guide.md doc/guide.html
  grep -oE 'images/[A-Za-z0-9._/-]+\.(png|jpg|jpeg|gif|svg)' docs/guide.md | sed 's|^|doc/|'
  files_below examples/share | sed 's|^|examples/share/|'
}
check "the zip holds the payload, tools/, doc/ with the guide's pictures and examples/share/, and nothing else" \
  same "$(in_zip | LC_ALL=C sort -u)" "$(files_below "$work/zip")"
check "the zip's top level holds only the payload and SHA256SUMS" \
  same "GLOBAL GROUP MACHINE SHA256SUMS USER doc examples logon.cmd tarnwick.exe tarnwick.ini tools" \
  "$(cd "$work/zip" && LC_ALL=C ls -A | xargs)"
check "examples/share is the sample share, byte for byte" diff -r examples/share "$work/zip/examples/share"
check "SHA256SUMS matches the zip's files" bash -c "cd '$work/zip' && sha256sum --quiet -c SHA256SUMS"
check "SHA256SUMS names every other file of the zip" \
  same "$(files_below "$work/zip" | grep -vx SHA256SUMS)" "$(sed 's/^[0-9a-f]*  //' "$work/zip/SHA256SUMS")"
check "the signed zip's SHA256SUMS matches its signed files" \
  bash -c "cd '$work/signed/zip' && sha256sum --quiet -c SHA256SUMS"
# A script line that begins with ";" and is longer than 4 characters is a
# remark; anything else in a starter script file would act.
only_remarks() {
  local file
  for file in "$work"/zip/{GLOBAL,GROUP,USER,MACHINE}/_DEFAULT.DAT; do
    ! grep -q $'[^\r]$' "$file" || { echo "$file: a line without CR LF"; return 1; }
    ! tr -d '\r' <"$file" | grep -vE '^;.{4,}$' || { echo "in $file"; return 1; }
  done
}
check "each script folder's _DEFAULT.DAT holds remark lines only, with CR LF" only_remarks
# The program's defaults, each a line; the Macros line only as a remark.
check "the starter tarnwick.ini sets every setting to its default and leaves Macros a remark" \
  same 'Machine=MACHINE\
User=USER\
Group=GROUP\
Global=GLOBAL\
Notice=NOTICE.RTF
Default=_DEFAULT
UserList=USERLIST.DAT
Process=*gGuUmM
Extension=.DAT
;Macros=MACROS.DAT
EventLog=1' "$(tr -d '\r' <"$work/zip/tarnwick.ini" | grep -E '^;?[A-Za-z]+=')"
check "logon.cmd has CR LF line ends" bash -c "! grep -q \$'[^\\r]\$' '$work/zip/logon.cmd'"
self_contained() { # nothing loaded from elsewhere: no <link>, every src= a data: URL
  ! grep -qiE '<link |src="[^d"]|src="d[^a]|url\((https?:)?//' "$1"
}
check "the HTML guide loads nothing from elsewhere" self_contained "$work/zip/doc/guide.html"

# The Windows programs: static (only DLLs of Windows itself), the GUI
# program with its icon and the version resource of the project's version.
system_dlls='ADVAPI32.dll COMCTL32.dll GDI32.dll KERNEL32.dll MPR.dll USER32.dll msvcrt.dll'
imports_only_system_dlls() {
  local dll
  for dll in $(x86_64-w64-mingw32-objdump -p "$1" | sed -n 's/^\tDLL Name: //p'); do
    [[ " $system_dlls " == *" $dll "* ]] || { echo "imports $dll"; return 1; }
  done
}
subsystem() { [[ $(x86_64-w64-mingw32-objdump -p "$1") == *$'\nSubsystem'*"($2)"* ]]; }
resources() { x86_64-w64-mingw32-windres -i "$work/zip/tarnwick.exe" -O rc >"$work/resources.rc"; }
check "tarnwick.exe is a GUI program" subsystem "$work/zip/tarnwick.exe" "Windows GUI"
check "tarnwick-check.exe is a console program" \
  subsystem "$work/zip/tools/tarnwick-check.exe" "Windows CUI"
check "tarnwick.exe imports only system DLLs" imports_only_system_dlls "$work/zip/tarnwick.exe"
check "tarnwick-check.exe imports only system DLLs" \
  imports_only_system_dlls "$work/zip/tools/tarnwick-check.exe"
check "tarnwick.exe's resources can be read" resources
check "tarnwick.exe carries its icon" grep -q '^"MAINICON" 14 /\* RT_GROUP_ICON' "$work/resources.rc"
# Both programs: one manifest, ours (asInvoker, per-monitor DPI awareness v2
# and system awareness before it, common controls 6, Windows 7 to 11), and
# linked terminal-server aware. Found by name, wherever the zip holds them.
manifests_of() { # every RT_MANIFEST of the exe $1, as XML, one line each
  x86_64-w64-mingw32-windres -i "$1" -O rc | sed -n '/^[0-9A-Z"]* 24 \/\* RT_MANIFEST \*\//,/^END/p' |
    sed -n 's/^  "\(.*\)"$/\1/p' | sed 's/\\n$//; s/""/"/g'
}
has_our_manifest() {
  local count xml want
  count=$(x86_64-w64-mingw32-windres -i "$1" -O rc | grep -c ' 24 /\* RT_MANIFEST \*/')
  [ "$count" = 1 ] || { echo "$count manifests"; return 1; }
  xml=$(manifests_of "$1")
  for want in '<requestedExecutionLevel level="asInvoker" uiAccess="false"/>' \
    '>true/pm</dpiAware>' '>PerMonitorV2, PerMonitor</dpiAwareness>' \
    'name="Microsoft.Windows.Common-Controls" version="6.0.0.0"' \
    '<supportedOS Id="{35138b9a-5d96-4fbd-8e2d-a2440225f93a}"/>' \
    '<supportedOS Id="{4a2f28e3-53b9-4441-ba9c-d69d4a4a6e38}"/>' \
    '<supportedOS Id="{1f676c76-80e1-4239-95bb-83d0f6d0da78}"/>' \
    '<supportedOS Id="{8e0f7a12-bfb3-4fe8-b9a5-48fd50a15a9a}"/>'; do
    grep -qF -- "$want" <<<"$xml" || { echo "the manifest lacks $want"; return 1; }
  done
}
terminal_server_aware() { [[ $(x86_64-w64-mingw32-objdump -p "$1") == *TERMINAL_SERVICE_AWARE* ]]; }
for exe in tarnwick.exe tarnwick-check.exe; do
  exe_path=$(find "$work/zip" -name "$exe" | head -1)
  check "$exe carries one manifest: asInvoker, per-monitor DPI, common controls 6, Windows 7 to 11" \
    has_our_manifest "$exe_path"
  check "$exe is terminal-server aware" terminal_server_aware "$exe_path"
done
describes_the_checker() { # its version resource: what it is, and the version
  local rc
  rc=$(x86_64-w64-mingw32-windres -i "$1" -O rc) || return 1
  grep -q 'VALUE "FileDescription", "Tarnwick script checker"' <<<"$rc" &&
    grep -q "VALUE \"FileVersion\", \"$version\"" <<<"$rc"
}
check "tarnwick-check.exe's version resource names it, with the version $version" \
  describes_the_checker "$(find "$work/zip" -name tarnwick-check.exe | head -1)"
check "tarnwick.exe carries the version $version" \
  grep -q "^ FILEVERSION ${version//./, }, 0$" "$work/resources.rc"
for field in FileVersion ProductVersion; do
  check "tarnwick.exe's $field is $version" \
    grep -q "VALUE \"$field\", \"$version\"" "$work/resources.rc"
done
for exe in tarnwick.exe tools/tarnwick-check.exe; do
  check "$exe is signed by the certificate" \
    osslsigncode verify -CAfile "$work/cert.pem" -in "$work/signed/zip/$exe"
done
check "an unsigned tarnwick.exe does not pass as signed" \
  bash -c "! osslsigncode verify -CAfile '$work/cert.pem' -in '$work/zip/tarnwick.exe'"

# The Debian package.
dpkg-deb -x "$work/one/$deb" "$work/deb"
check "the .deb's tarnwick-check tells its version" \
  same "tarnwick-check $version" "$("$work/deb/usr/bin/tarnwick-check" --version)"
check "the .deb's tarnwick tells its version" \
  same "tarnwick $version" "$("$work/deb/usr/bin/tarnwick" --version)"
check "the .deb's control file has the version" \
  same "$version" "$(dpkg-deb -f "$work/one/$deb" Version)"
deb_files() {
  local f
  for f in usr/bin/tarnwick usr/bin/tarnwick-check usr/share/man/man1/tarnwick.1.gz \
    usr/share/man/man1/tarnwick-check.1.gz usr/share/doc/tarnwick/guide.md \
    usr/share/doc/tarnwick/guide.html usr/share/doc/tarnwick/copyright \
    usr/share/doc/tarnwick/changelog.gz; do
    [ -f "$work/deb/$f" ] || { echo "missing: $f"; return 1; }
  done
}
check "the .deb holds the programs, the man pages, the guide, the copyright and the changelog" deb_files
# The man pages are help2man's, from each program's --help: the version in
# the header, the options of --help, and the sections added to them.
man_page() { # man_page PROGRAM PATTERN...: every pattern is a line of its page
  local page pattern
  page=$(zcat "$work/deb/usr/share/man/man1/$1.1.gz")
  for pattern in "${@:2}"; do
    grep -qE "$pattern" <<<"$page" || { echo "$1.1 has no line like: $pattern"; return 1; }
  done
}
check "tarnwick(1) is made from --help, with FILES, EXAMPLES and EXIT STATUS" \
  man_page tarnwick "^\.TH TARNWICK \"1\" \"[^\"]*\" \"Tarnwick $version\"" '^\.SH OPTIONS$' \
  '^\\fB\\-\\-version\\fR' '^\.SH FILES$' '^\.B eventlog/Application\.log$' \
  '^\.BI Network\\e device$' '^\.B toolkit\.ini$' '^\.SH EXAMPLES$' '^\.SH "EXIT STATUS"$'
check "tarnwick-check(1) is made from --help, with EXAMPLES and EXIT STATUS" \
  man_page tarnwick-check "^\.TH TARNWICK-CHECK \"1\" \"[^\"]*\" \"Tarnwick $version\"" \
  '^\.SH OPTIONS$' '^\\fB\\-\\-all\\-users\\fR' '^\\fB\\-\\-html\\fR FILE' \
  '^\.SH EXAMPLES$' '^\.SH "EXIT STATUS"$'
lintian_clean() { # lintian's errors and warnings (its notes are left alone)
  lintian "$1" >"$work/lintian.txt" 2>&1 || true
  ! grep -E '^[EW]: ' "$work/lintian.txt"
}
check "lintian finds no error and no warning in the .deb" lintian_clean "$work/one/$deb"

# Logons through logon.cmd: a folder that stands for NETLOGON, logon.cmd run
# by cmd from another current folder, the window closed once it shows. What
# each leaves: run_logon's words (a message box among them), the exit code,
# the run record's messages.
cmake --build --preset mingw --target run_logon >/dev/null
use_wine_prefix "$root/build/mingw/wineprefix"
mkdir -p "$work/elsewhere"
# The starter: the zip's top level as the guide copies it, the files and the
# four script folders, without tools/, doc/, examples/ and SHA256SUMS.
mkdir "$work/STARTER"
cp -r "$work"/zip/{tarnwick.exe,logon.cmd,tarnwick.ini,GLOBAL,GROUP,USER,MACHINE} "$work/STARTER/"
# The sample share with the program and logon.cmd beside it, once whole and
# once without its macros file.
for share in NETLOGON NO-MACROS; do
  cp -r "$work/zip/examples/share" "$work/$share"
  cp "$work/zip/tarnwick.exe" "$work/zip/logon.cmd" "$work/$share/"
done
rm "$work/NO-MACROS/MACROS.DAT"
logon() {
  rm -rf "$WINEPREFIX/drive_c/Tarnwick"
  local share
  share=$(realpath "$1")
  under_wine bash -c 'wine reg delete "HKCU\Software\Brackenlow\Tarnwick\Errors" /f >/dev/null 2>&1
    cd "$1" && wine "$2" "cmd /c Z:${3//\//\\}\logon.cmd"; echo "exit code $?"
    wine reg query "HKCU\Software\Brackenlow\Tarnwick\Errors" 2>/dev/null |
      sed -n "s/^    ErrorString\([0-9]*\)    REG_SZ    /\1 /p" | sort -n | cut -d" " -f2-' \
    - "$work/elsewhere" "$root/build/mingw/run_logon.exe" "$share" | tr -d '\r'
}
error_count() { # the run record's ErrorCount after the last logon
  wine reg query 'HKCU\Software\Brackenlow\Tarnwick\Errors' /v ErrorCount 2>/dev/null |
    tr -d '\r' | sed -n 's/^ *ErrorCount *REG_DWORD *//p'
  wineserver -k 2>/dev/null || true
}
user=$(id -un)
# The starter runs a clean logon: its scripts are remarks, its settings the
# defaults, and the news file and full-name list they name may be missing.
check "the zip's top level alone runs a clean logon: exit code 0, no message box, no message" \
  same "exit code 0" "$(logon "$work/STARTER")"
check "the starter's logon leaves ErrorCount 0" same "0x0" "$(error_count)"
# The sample share under Wine: no network, so each drive and printer fails
# twice (the old connection cannot be cancelled, the new one cannot be made:
# 1222) and nothing can be copied from S:; no privilege to load a hive
# (1314). The rest is the sample's deliberately failing part.
check "logon.cmd runs tarnwick.exe in its folder and leaves the run record" same "exit code 0
Unknown error deleting H:
Error 1222 on connecting H: to \\\\FILES01\\HOME\\$user
Unknown error deleting S:
Error 1222 on connecting S: to \\\\FILES01\\SOFTWARE
Unknown error deleting LPT1
Error 1222 on connecting LPT1 to \\\\PRINT01\\LASER
Error copying S:\\Templates\\letter.dot to C:\\Tarnwick\\Templates\\letter.dot
Error copying S:\\Defaults\\app.ini to C:\\Tarnwick\\app.ini
Error copying S:\\NoSuchFile.txt to C:\\Tarnwick\\missing.txt
'twelve' is not a valid integer value : USoftware\\Brackenlow\\Sample.Bad=Dtwelve
No value name in destination Software\\Brackenlow\\NoValueName
Error attaching C:\\Tarnwick\\NoSuchHive.DAT to HKEY_USERS\\$user
Unknown error deleting Q:
Error 1222 on connecting Q: to \\\\NOSERVER\\NOSHARE
Unknown command :    VC:\\Indented" "$(logon "$work/NETLOGON")"
# A start-up failure: logon.cmd returns the program's exit code.
startup_failure() { # the box's first line, then the program's exit code
  local words
  words=$(logon "$work/NO-MACROS")
  [[ $words == "message box: [Application Error] Exception EFOpenError in module tarnwick.exe."$'\n'* ]] &&
    [ "$(tail -n 1 <<<"$words")" = "exit code 1" ] || { echo "$words"; return 1; }
}
check "logon.cmd returns tarnwick.exe's exit code" startup_failure

end_checks
