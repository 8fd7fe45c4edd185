#!/usr/bin/env bash
# The real setup.exe under Wine, against registry keys made with `wine reg add`
# and folders on the prefix's drive C:.
#
#   bash tests/setup/setup_wine.sh BUILD-WIN-DIR
#
# (CMake copies it to BUILD-WIN-DIR/tests/setup/, where ./mirror test finds it.)
# Uses WINEPREFIX (default: BUILD-WIN-DIR/wineprefix, which must be initialised).
#
# How the commands are observed: the C runtime's `system` starts the program named by
# the ComSpec variable with "<ComSpec> /c <command>", and Wine builds a process's
# environment from its registry, HKCU\Environment included. The script sets ComSpec
# there to cmdlog.exe (built next to this test), which appends each command line it gets
# to the file named by SETUP_CMDLOG.
#
# How the messages are observed: setup.exe shows message boxes, which would wait for a
# click (or fail, with no display). With QUORBELL_SETUP_MESSAGE_LOG naming a file it
# appends each message there ("title<TAB>text", UTF-8) instead; that switch exists for
# this test only. DISPLAY and WAYLAND_DISPLAY are also unset for the runs, and each run
# has a time limit, so that the script cannot hang.
#
# Whatever the script adds to the registry and to drive C: is removed at the end, keys
# that existed before are restored from an export, and ComSpec is put back as it was.
# Exits non-zero, naming what failed, on any failure.
set -uo pipefail

say()  { printf '[setup_wine] %s\n' "$*"; }
die()  { printf '[setup_wine] error: %s\n' "$*" >&2; exit 1; }

[ $# -eq 1 ] || die "usage: setup_wine.sh BUILD-WIN-DIR"
build="$(cd "$1" 2>/dev/null && pwd)" || die "no build directory $1"
setup_exe="$build/setup/setup.exe"
cmdlog_exe="$build/tests/setup/cmdlog.exe"
[ -f "$setup_exe" ] || die "$setup_exe is missing: build the Windows tree first"
[ -f "$cmdlog_exe" ] || die "$cmdlog_exe is missing: build the Windows tree first"
command -v wine >/dev/null || die "wine is not installed"
export WINEPREFIX="${WINEPREFIX:-$build/wineprefix}"
export WINEDEBUG="${WINEDEBUG:--all}"
[ -f "$WINEPREFIX/system.reg" ] || die "no initialised Wine prefix at $WINEPREFIX (run: wineboot --init)"

run_limit=60 # seconds for one run of setup.exe; a normal run takes well under one

# The keys the scenarios create, by their topmost new key, and the test's folder on C:.
owner_keys=('HKLM\SOFTWARE\Autodesk' 'HKLM\SOFTWARE\EpicGames' 'HKCU\Software\Epic Games')
test_root='C:\Quorbell Setup Test'

# --- helpers ------------------------------------------------------------------------------

reg() { wine reg "$@" /reg:64 >/dev/null 2>&1; }

reg_add() { # key value data
    reg add "$1" /v "$2" /t REG_SZ /d "$3" /f || die "wine reg add \"$1\" /v $2 failed"
}

# A path on drive C: as the Linux side sees it (forward slashes are accepted too).
unix_path() {
    local p="${1#C:}"
    p="${p//\\//}"
    printf '%s/drive_c%s' "$WINEPREFIX" "$p"
}

add_file() { # Windows path
    local f
    f="$(unix_path "$1")"
    mkdir -p "$(dirname "$f")" && : >"$f" || die "cannot create $f"
}

clear_keys() {
    local key
    for key in "${owner_keys[@]}"; do
        reg delete "$key" /f || true
        if reg query "$key"; then
            printf '[setup_wine] error: could not delete %s\n' "$key" >&2
            return 1
        fi
    done
}

# --- state to restore ---------------------------------------------------------------------

work="$(mktemp -d "${TMPDIR:-/tmp}/setup wine.XXXXXX")" || die "mktemp failed"
work_win="$(winepath -w "$work" 2>/dev/null | tr -d '\r')"
[ -n "$work_win" ] || die "winepath failed for $work"

declare -A backup=()
comspec_saved=""     # "TYPE<TAB>DATA" when HKCU\Environment held ComSpec before
comspec_touched=0
touched=0

cleanup() {
    local status=$? problems=0 key
    if [ "$touched" -eq 1 ]; then
        clear_keys || problems=1
        for key in "${!backup[@]}"; do
            reg import "${backup[$key]}" || { printf '[setup_wine] error: could not restore %s\n' "$key" >&2; problems=1; }
        done
        rm -rf "$(unix_path "$test_root")"
    fi
    if [ "$comspec_touched" -eq 1 ]; then
        if [ -n "$comspec_saved" ]; then
            reg add 'HKCU\Environment' /v ComSpec /t "${comspec_saved%%$'\t'*}" /d "${comspec_saved#*$'\t'}" /f || problems=1
        else
            reg delete 'HKCU\Environment' /v ComSpec /f || problems=1
        fi
        [ "$problems" -eq 0 ] || printf '[setup_wine] error: could not restore ComSpec in HKCU\\Environment\n' >&2
    fi
    rm -rf "$work"
    if [ "$problems" -ne 0 ] && [ "$status" -eq 0 ]; then
        status=1
    fi
    exit "$status"
}
trap cleanup EXIT
trap 'exit 130' INT
trap 'exit 143' TERM

# Keep what exists: export the keys the scenarios replace, and ComSpec.
n=0
for key in "${owner_keys[@]}"; do
    if reg query "$key"; then
        file="$work_win\\backup-$n.reg"
        reg export "$key" "$file" /y || die "cannot export the existing key $key; nothing was changed"
        backup["$key"]="$file"
        n=$((n + 1))
    fi
done
comspec_line="$(wine reg query 'HKCU\Environment' /v ComSpec /reg:64 2>/dev/null | tr -d '\r' |
    sed -n 's/^ *ComSpec *\(REG_[A-Z_]*\) *\(.*\)$/\1\t\2/Ip')"
comspec_saved="$comspec_line"

touched=1
[ -e "$(unix_path "$test_root")" ] && rm -rf "$(unix_path "$test_root")"

cmdlog_win="$(winepath -w "$cmdlog_exe" 2>/dev/null | tr -d '\r')"
[ -n "$cmdlog_win" ] || die "winepath failed for $cmdlog_exe"
comspec_touched=1
reg add 'HKCU\Environment' /v ComSpec /t REG_SZ /d "$cmdlog_win" /f || die "cannot set ComSpec in HKCU\\Environment"

# setup.exe runs from a folder of its own, with a space in its name.
run_dir="$work/setup folder"
mkdir -p "$run_dir/Maya" "$run_dir/Ue" && cp "$setup_exe" "$run_dir/setup.exe" || die "cannot prepare $run_dir"
cmd_log="$work/commands.log"
msg_log="$work/messages.log"

# --- scenarios ----------------------------------------------------------------------------

failures=0
scenario=""

fail() {
    printf '[setup_wine] FAILED (%s): %s\n' "$scenario" "$*" >&2
    failures=$((failures + 1))
}

begin() {
    scenario="$1"
    say "scenario: $scenario"
    clear_keys || die "cannot clear the test keys"
    rm -rf "$(unix_path "$test_root")" "$cmd_log" "$msg_log"
}

# Runs setup.exe and checks its exit code, the command lines that reached the command
# interpreter and the messages, each given as a newline-separated list.
run_and_check() { # expected-exit-code expected-commands expected-messages
    local code actual expected
    (cd "$run_dir" && env -u DISPLAY -u WAYLAND_DISPLAY \
        SETUP_CMDLOG="$work_win\\commands.log" QUORBELL_SETUP_MESSAGE_LOG="$work_win\\messages.log" \
        timeout -k 5 "$run_limit" wine "$run_dir/setup.exe" </dev/null >"$work/stdout.log" 2>&1)
    code=$?
    if [ "$code" -eq 124 ] || [ "$code" -eq 137 ]; then
        fail "setup.exe did not end within $run_limit s (waiting on a message box?)"
        return
    fi
    [ "$code" -eq "$1" ] || fail "exit code $code, expected $1"

    actual="$( [ -f "$cmd_log" ] && tr -d '\r' <"$cmd_log")"
    expected=""
    local line
    while IFS= read -r line; do
        [ -n "$line" ] && expected+="$cmdlog_win /c $line"$'\n'
    done <<<"$2"
    expected="${expected%$'\n'}"
    if [ "$actual" != "$expected" ]; then
        fail "command lines handed to the command interpreter differ (< expected, > actual)"
        diff <(printf '%s\n' "$expected") <(printf '%s\n' "$actual") | sed 's/^/    /' >&2
    fi

    actual="$( [ -f "$msg_log" ] && cat "$msg_log")"
    if [ "$actual" != "$3" ]; then
        fail "messages differ (< expected, > actual)"
        diff <(printf '%s\n' "$3") <(printf '%s\n' "$actual") | sed 's/^/    /' >&2
    fi
}

maya_key() { printf 'HKLM\\SOFTWARE\\Autodesk\\%s\\%s\\Setup\\InstallPath' "$1" "$2"; }
engine_key() { printf 'HKLM\\SOFTWARE\\EpicGames\\Unreal Engine\\%s' "$1"; }
builds_key='HKCU\Software\Epic Games\Unreal Engine\Builds'

add_maya() { # product version location(with trailing backslash)
    reg_add "$(maya_key "$1" "$2")" MAYA_INSTALL_LOCATION "$3"
    add_file "$3bin\\maya.exe"
}

add_engine() { # version directory Win64|Win32
    reg_add "$(engine_key "$1")" InstalledDirectory "$2"
    add_file "$2\\Engine\\Binaries\\$3\\UE4Editor.exe"
}

# 1. Nothing installed: the Autodesk message, both packages without a target folder.
begin "nothing installed"
run_and_check 1 \
'Maya\MayaSidePackage.msi
Ue\UeSidePackage.msi' \
"错误提示	找不到您系统的Maya目录，请自行安装选择安装目录！"

# 2. Maya 2017 and 2018, Unreal 4.17 and 4.18, in folders with spaces: the 2018 and 4.18
#    folders, quoted whole.
begin "Maya 2018 and Unreal 4.18 found"
reg add 'HKLM\SOFTWARE\Autodesk\3ds Max 2018\Setup\InstallPath' /f || die "wine reg add failed"
add_maya "Maya" "2017" "$test_root\\Autodesk\\Maya2017\\"
add_maya "Maya" "2018" "$test_root\\Autodesk\\Maya 2018\\"
add_engine "4.17" "$test_root\\Epic Games\\UE_4.17" Win64
add_engine "4.18" "$test_root\\Epic Games\\UE_4.18" Win64
run_and_check 1 \
'Maya\MayaSidePackage.msi TARGETDIR="C:\Quorbell Setup Test\Autodesk\Maya 2018\"
Ue\UeSidePackage.msi TARGETDIR="C:\Quorbell Setup Test\Epic Games\UE_4.18\Engine\Plugins"' \
""

# 3. Maya 2017 only and a source build only: both version messages, nothing run.
begin "neither Maya 2018 nor Unreal 4.18"
add_maya "Maya" "2017" "$test_root\\Autodesk\\Maya2017\\"
reg_add "$builds_key" "{3F2A61C0-52B1-4E0B-9C1E-0A4D2B8E7F11}" "C:/Quorbell Setup Test/Source/UnrealEngine-NQ"
add_file "C:/Quorbell Setup Test/Source/UnrealEngine-NQ\\Engine\\Binaries\\Win64\\UE4Editor.exe"
run_and_check 1 "" \
"提示	没有在您系统上找到2018的Maya版本
提示	没有在您系统上找到4.18的UE版本"

# 4. The real 255-byte limit: a 127-character Maya location does not fit (the package
#    runs without a target), a 126-character engine folder does (Win32 editor only).
begin "value length limit"
long_maya="$test_root\\"
while [ ${#long_maya} -lt 126 ]; do long_maya+="m"; done
long_maya+="\\"
long_engine="$test_root\\"
while [ ${#long_engine} -lt 126 ]; do long_engine+="u"; done
[ ${#long_maya} -eq 127 ] && [ ${#long_engine} -eq 126 ] || die "bad test folder lengths"
add_maya "Maya" "2018" "$long_maya"
add_engine "4.18" "$long_engine" Win32
run_and_check 1 \
"Maya\\MayaSidePackage.msi
Ue\\UeSidePackage.msi TARGETDIR=\"$long_engine\\Engine\\Plugins\"" \
""

if [ "$failures" -ne 0 ]; then
    printf '[setup_wine] %d check(s) failed\n' "$failures" >&2
    exit 1
fi
say "all scenarios passed"
