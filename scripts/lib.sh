# Shared by the scripts: installing what is missing on Debian, the Wine
# prefix, running a command inside a virtual X display, and the shell
# tests' checks.
#   . scripts/lib.sh   (from the repository root)

as_root() { if [ "$(id -u)" -eq 0 ]; then "$@"; else sudo "$@"; fi; }

# Packages to install, gathered by need_command and need_file, installed in
# one apt-get run by install_needed.
needed=()
need_command() { command -v "$1" >/dev/null || needed+=("$2"); }
need_file() { ls $1 >/dev/null 2>&1 || needed+=("$2"); }
install_needed() {
  [ ${#needed[@]} -gt 0 ] || return 0
  echo "== installing: ${needed[*]}"
  as_root apt-get update -qq
  as_root env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${needed[@]}" >/dev/null
  needed=()
}

# What every build needs: the compiler, CMake, ccache (every preset
# compiles through it, so a rebuild of unchanged sources costs little) and
# GoogleTest.
need_build_tools() {
  need_command cmake cmake
  need_command ccache ccache
  need_command g++ g++
  need_file /usr/include/gtest/gtest.h libgtest-dev
  need_file /usr/include/gmock/gmock.h libgmock-dev
  need_file /usr/src/googletest googletest
}

# The checker's header-only libraries (native and cross builds) and the
# browser its page is tested in.
need_check_tools() {
  need_file /usr/include/nlohmann/json.hpp nlohmann-json3-dev
  need_file /usr/include/CLI/CLI.hpp libcli11-dev
  need_command chromium chromium
}

# The Windows cross build and Wine inside Xvfb.
need_windows_tools() {
  need_command x86_64-w64-mingw32-g++-posix g++-mingw-w64-x86-64
  need_command wine wine
  [ -x /usr/lib/wine/wine64 ] || need_command wine64 wine64
  need_command Xvfb xvfb
  need_command xvfb-run xvfb
}

# clang with libFuzzer's runtime.
need_fuzz_tools() {
  need_command ccache ccache
  need_command clang++ clang
  need_file '/usr/lib/llvm-*/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a' libclang-rt-14-dev
}

# Uses the Wine prefix $1 (booted on first use) for every later wine call.
# Without a window manager Wine waits two seconds whenever a window is
# hidden; letting Wine manage its windows itself removes the wait. The
# server is stopped afterwards: one started outside Xvfb would refuse every
# window later.
#
# The prefix sees only the fonts scripts/wine-fonts.conf names, so what the
# machine has installed besides changes nothing. A program that crashes
# ends at once: Wine's debugger, which would wait for ever, is switched off.
use_wine_prefix() {
  export WINEDEBUG=${WINEDEBUG:--all}
  export WINEPREFIX=$1
  FONTCONFIG_FILE="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/wine-fonts.conf"
  export FONTCONFIG_FILE
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "== booting a Wine prefix in $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    wineboot -i >/dev/null 2>&1 || true
    wineserver -w || true
  fi
  wine reg add 'HKCU\Software\Wine\X11 Driver' /v Managed /d N /f >/dev/null 2>&1 || true
  wine reg delete 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /f \
    >/dev/null 2>&1 || true
  wineserver -k 2>/dev/null || true
}

# Runs a command inside a virtual X display of 1024x768.
in_xvfb() { xvfb-run -a -s "-screen 0 1024x768x24" "$@"; }

# The one way the scripts and shell tests run the Windows programs: a
# command that starts them under Wine (wine PROGRAM, a shell that does, or
# a test runner) inside the virtual display, the Wine server stopped after
# it, since one left running outside the display would refuse every window
# later. Its exit status is the command's.
under_wine() {
  local status=0
  in_xvfb "$@" || status=$?
  wineserver -k 2>/dev/null || true
  return "$status"
}

# The shell tests' checks: begin_checks makes a scratch folder $work,
# removed at exit, and zeroes the counts; each check ends in passed_check
# or failed_check NAME; end_checks prints the counts and fails if any
# check did.
begin_checks() {
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
  passed=0 failed=0
}
passed_check() { passed=$((passed + 1)); echo "ok      $1"; }
failed_check() { failed=$((failed + 1)); echo "FAILED  $1"; }
end_checks() {
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
}
