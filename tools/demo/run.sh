#!/usr/bin/env bash
# The demo run behind `./mirror demo`: the Unreal editor with the module and
# examples/content, `maya -batch` with the plug-in drawing a short animation through
# "Mirror", the video producer for the second half, on region names of this run only.
#
#   run.sh --build DIR [--scene FILE.mel|FILE.obj] [--size WxH] [--frames N] [--out DIR]
#   run.sh --check [options]     only checks the options
#
# Writes to the output folder: frames/NNNN.png (twelve frames of the run), contact-sheet.png,
# maya-alone.png (the first frame's view drawn by Maya without Unreal), summary.txt and
# summary.json, and logs/ (each program's log, the plug-in's frame log, the MEL script).
#
# The animation: the camera orbits the scene once; where the scene has them, the group
# mirrorMover moves, mirrorHidden is hidden for a quarter of the run and mirrorLampShape
# turns blue. At half the run the video producer starts (the viewport keys its green half);
# at two thirds the editor runs "Assign To Maya Object" on /Game/Materials/MI_Blue, which
# Maya assigns to its selection. The script pauses a second at those two frames so that
# the other programs act before Maya's next frame; those frames' times are not counted.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)"
root="$(cd "$here/../.." && pwd)"

say()  { printf '\033[1m[demo]\033[0m %s\n' "$*"; }
fail() { printf '\n[demo] error: %s\n' "$*" >&2; exit 1; }
usage_fail() {
  printf '[demo] error: %s\n' "$*" >&2
  printf 'usage: ./mirror demo [--scene FILE.mel|FILE.obj] [--size WxH] [--frames N] [--out DIR]\n' >&2
  exit 2
}

check=0 build="" scene="$root/examples/scene.mel" size="960x540" frames=120 out="$root/out"
while [ $# -gt 0 ]; do
  case "$1" in
    --check) check=1; shift; continue ;;
    -h|--help)
      printf 'usage: ./mirror demo [--scene FILE.mel|FILE.obj] [--size WxH] [--frames N] [--out DIR]\n'
      printf 'defaults: examples/scene.mel, 960x540, 120 frames, out/\n'
      exit 0 ;;
  esac
  [ $# -ge 2 ] || usage_fail "$1 needs a value"
  case "$1" in
    --build) build="$2" ;;
    --scene) scene="$2" ;;
    --size) size="$2" ;;
    --frames) frames="$2" ;;
    --out) out="$2" ;;
    *) usage_fail "unknown option $1" ;;
  esac
  shift 2
done

[[ "$size" =~ ^([1-9][0-9]{0,4})[xX]([1-9][0-9]{0,4})$ ]] || usage_fail "--size is WxH in pixels, for example 960x540 (got '$size')"
width="${BASH_REMATCH[1]}" height="${BASH_REMATCH[2]}"
{ [ "$width" -ge 16 ] && [ "$height" -ge 16 ] && [ "$width" -le 8192 ] && [ "$height" -le 8192 ]; } \
  || usage_fail "--size: 16 to 8192 pixels each way (got $size)"
[[ "$frames" =~ ^[1-9][0-9]{0,5}$ ]] && [ "$frames" -ge 2 ] && [ "$frames" -le 10000 ] \
  || usage_fail "--frames is a whole number from 2 to 10000 (got '$frames')"
[ -f "$scene" ] && [ -r "$scene" ] || usage_fail "--scene: no readable file $scene"
case "$scene" in
  *.mel|*.MEL) scene_kind=mel ;;
  *.obj|*.OBJ) scene_kind=obj ;;
  *) usage_fail "--scene takes a MEL script (.mel) or an OBJ file (.obj), not $scene" ;;
esac
case "$scene$out" in
  *'"'*|*'\'*) usage_fail "the scene and output paths cannot hold a double quote or a backslash (MEL strings)" ;;
esac
[ "$check" -eq 1 ] && exit 0
scene="$(cd "$(dirname "$scene")" && pwd)/$(basename "$scene")"
[ -n "$build" ] || usage_fail "--build DIR is needed"

maya="$build/hosts/maya/maya"
plugin="$build/maya/QuorbellMirror.so"
editor="$build/hosts/unreal/ue4editor"
uplugin="$build/unreal/QuorbellMirror.uplugin"
producer="$build/tools/videoproducer/kvt-videoproducer"
sheet="$build/tools/demo/kvt-contact-sheet"
summary="$build/tools/demo/kvt-demo-summary"
for f in "$maya" "$plugin" "$editor" "$uplugin" "$producer" "$sheet" "$summary"; do
  [ -e "$f" ] || fail "$f is missing: build the demo's targets first (./mirror demo builds them)"
done

mkdir -p "$out/frames" "$out/logs" || fail "cannot make $out"
out="$(cd "$out" && pwd)"
rm -f "$out"/frames/*.png "$out/contact-sheet.png" "$out/maya-alone.png" "$out/summary.txt" "$out/summary.json"
logs="$out/logs"
maya_log="$logs/maya.log" editor_log="$logs/unreal.log" producer_log="$logs/producer.log"
frame_log="$logs/frames.log" script="$logs/run.mel"
rm -f "$maya_log" "$editor_log" "$producer_log" "$frame_log"
: > "$maya_log"

# Region names of this run only; both programs and the producer inherit the suffix.
export KVT_REGION_SUFFIX="Demo$$x$RANDOM"
fifo="$(mktemp -u "${TMPDIR:-/tmp}/mirror-demo-console.XXXXXX")"

editor_pid="" maya_pid="" producer_pid=""
cleanup() {
  local pid
  exec 7>&- 2>/dev/null || true
  for pid in "$maya_pid" "$producer_pid" "$editor_pid"; do
    [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  done
  for pid in "$maya_pid" "$producer_pid" "$editor_pid"; do
    [ -n "$pid" ] && wait "$pid" 2>/dev/null || true
  done
  rm -f "$fifo"
  rm -f "/dev/shm/KVTRequest$KVT_REGION_SUFFIX" "/dev/shm/KVTResponse$KVT_REGION_SUFFIX" \
        "/dev/shm/DeckLink$KVT_REGION_SUFFIX" 2>/dev/null || true
}
trap cleanup EXIT
trap 'printf "\n[demo] interrupted; stopping Maya, the editor and the producer\n" >&2; exit 130' INT TERM

alive() { [ -n "$1" ] && kill -0 "$1" 2>/dev/null; }
# The three programs run in sessions of their own, so that Ctrl-C reaches this script only
# and the programs are stopped here, in order, rather than each on its own.

# --- the MEL script -----------------------------------------------------------------
# Camera orbit around (cx, cy, cz) at distance r and height h above it.
cx=0 cy=1 cz=0 r=14 h=6
if [ "$scene_kind" = obj ]; then
  read -r cx cy cz r h < <(awk '
    $1 == "v" { n++; for (i = 2; i <= 4; i++) { v = $i + 0; if (n == 1 || v < lo[i]) lo[i] = v; if (n == 1 || v > hi[i]) hi[i] = v } }
    END {
      if (n == 0) { print "0 1 0 14 6"; exit }
      dx = hi[2] - lo[2]; dy = hi[3] - lo[3]; dz = hi[4] - lo[4]
      rad = sqrt(dx * dx + dy * dy + dz * dz) / 2; if (rad <= 0) rad = 1
      printf "%g %g %g %g %g\n", (lo[2] + hi[2]) / 2, (lo[3] + hi[3]) / 2, (lo[4] + hi[4]) / 2, rad * 3.4, rad * 1.4
    }' "$scene")
fi
hide_at=$((frames / 4 + 1)) show_at=$((frames / 2 + 1)) lamp_at=$((frames / 3 + 1))
video_at=$((frames / 2 + 1)) material_at=$((frames * 2 / 3 + 1))
[ "$material_at" -gt "$video_at" ] || material_at=$((video_at + 1))
[ "$material_at" -le "$frames" ] || material_at="$frames"

{
  printf 'loadPlugin "%s";\n' "$plugin"
  if [ "$scene_kind" = mel ]; then
    cat "$scene"
    printf '\n'
  else
    printf 'file -f -new;\nfile -import "%s";\n' "$scene"
    printf 'ambientLight -i 0.003 -n mirrorFill;\ndirectionalLight -i 0.007 -n mirrorKey;\nrotate -45 30 0 mirrorKey;\nselect -cl;\n'
  fi
  printf 'modelEditor -e -rendererOverrideName "Mirror" -grid 1 modelPanel4;\n'
  printf 'control -e -w %d -h %d modelPanel4;\n' "$width" "$height"
  awk -v n="$frames" -v cx="$cx" -v cy="$cy" -v cz="$cz" -v r="$r" -v h="$h" -v out="$out" \
      -v hide="$hide_at" -v show="$show_at" -v lamp="$lamp_at" -v video="$video_at" -v material="$material_at" '
    function camera(f,   a) {
      a = 2 * pi * (f - 1) / n
      printf "xform -ws -t %.5f %.5f %.5f persp;\n", cx + r * sin(a), cy + h, cz + r * cos(a)
      printf "xform -ws -ro %.5f %.5f 0 persp;\n", -atan2(h, r) * 180 / pi, a * 180 / pi
    }
    BEGIN {
      pi = atan2(0, -1)
      # Twelve frames (fewer in a shorter run) for the stills and the contact sheet.
      for (k = 0; k < 12; k++) keep[1 + int(k * (n - 1) / 11 + 0.5)] = 1
      for (f = 1; f <= n; f++) {
        printf "currentTime %d;\n", f
        camera(f)
        printf "if (`objExists mirrorMover`) xform -ws -t %.5f 0 0 mirrorMover;\n", 1.5 * sin(2 * pi * (f - 1) / n)
        if (f == hide) print "if (`objExists mirrorHidden`) hide mirrorHidden;"
        if (f == show) print "if (`objExists mirrorHidden`) showHidden mirrorHidden;"
        if (f == lamp) print "if (`objExists mirrorLampShape`) setAttr mirrorLampShape.color -type double3 0.35 0.55 1;"
        if (f == video) print "print \"mirror-demo cue video\\n\";\npause -sec 1;"
        if (f == material) print "print \"mirror-demo cue material\\n\";\npause -sec 1;"
        if (f in keep) printf "refresh -fe png -fn \"%s/frames/%04d.png\";\n", out, f
        else print "refresh;"
        printf "print \"mirror-demo frame %d %d\\n\";\n", f, n
      }
      # What Maya draws without Unreal, from the first frame'"'"'s camera.
      camera(1)
      print "modelEditor -e -rendererOverrideName \"\" modelPanel4;"
      printf "refresh -fe png -fn \"%s/maya-alone.png\";\n", out
      print "print \"mirror-demo done\\n\";"
    }'
} > "$script"

# --- the run ------------------------------------------------------------------------
say "scene $(basename "$scene"), $frames frames at ${width}x$height, output in $out"
say "starting the Unreal editor (log: $editor_log)"
mkfifo "$fifo" || fail "cannot make the console pipe $fifo"
setsid "$editor" -Content="$root/examples/content" -Plugin="$uplugin" < "$fifo" > "$editor_log" 2>&1 &
editor_pid=$!
exec 7> "$fifo"
for _ in $(seq 300); do
  [ -e "/dev/shm/KVTResponse$KVT_REGION_SUFFIX" ] && break
  alive "$editor_pid" || fail "Unreal (ue4editor) stopped before it offered the link; see $editor_log"
  sleep 0.1
done
[ -e "/dev/shm/KVTResponse$KVT_REGION_SUFFIX" ] || fail "Unreal (ue4editor) offered no link within 30 s; see $editor_log"

say "starting Maya (log: $maya_log)"
KVT_FRAME_LOG="$frame_log" setsid "$maya" -batch -script "$script" > "$maya_log" 2>&1 &
maya_pid=$!

video_started=0 material_sent=0 done_frames=0 shown=-1
while alive "$maya_pid"; do
  if ! alive "$editor_pid"; then
    fail "Unreal (ue4editor) stopped during the run; see $editor_log (Maya's log: $maya_log)"
  fi
  if [ "$video_started" -eq 0 ] && grep -q '^mirror-demo cue video' "$maya_log"; then
    setsid "$producer" --pattern green --size "${width}x$height" --interval 40 > "$producer_log" 2>&1 &
    producer_pid=$!
    video_started=1
  fi
  if [ "$material_sent" -eq 0 ] && grep -q '^mirror-demo cue material' "$maya_log"; then
    echo 'menurun "Assign To Maya Object" /Game/Materials/MI_Blue' >&7
    material_sent=1
  fi
  if [ -n "$producer_pid" ] && ! alive "$producer_pid"; then
    fail "the video producer (kvt-videoproducer) stopped; see $producer_log"
  fi
  done_frames=$(grep -c '^mirror-demo frame' "$maya_log" || true)
  if [ "$done_frames" != "$shown" ]; then
    printf '\r\033[1m[demo]\033[0m frames %d / %d' "$done_frames" "$frames"
    shown="$done_frames"
  fi
  sleep 0.1
done
maya_status=0
wait "$maya_pid" || maya_status=$?
maya_pid=""
done_frames=$(grep -c '^mirror-demo frame' "$maya_log" || true)
printf '\r\033[1m[demo]\033[0m frames %d / %d\n' "$done_frames" "$frames"

[ "$maya_status" -eq 0 ] || fail "Maya (maya -batch) failed with status $maya_status; see $maya_log"
grep -q '^mirror-demo done' "$maya_log" || fail "Maya's script did not finish; see $maya_log"
if grep -q '// Error' "$maya_log"; then
  say "Maya reported errors (the run went on); see $maya_log:"
  grep '// Error' "$maya_log" | head -n 5 >&2
fi

say "stopping the editor"
echo quit >&7
exec 7>&-
for _ in $(seq 100); do alive "$editor_pid" || break; sleep 0.1; done
if alive "$editor_pid"; then
  kill "$editor_pid" 2>/dev/null || true
  say "the editor did not quit within 10 s and was stopped; see $editor_log"
fi
wait "$editor_pid" 2>/dev/null || true
editor_pid=""
if [ -n "$producer_pid" ]; then
  kill "$producer_pid" 2>/dev/null || true
  wait "$producer_pid" 2>/dev/null || true
  producer_pid=""
fi

# --- the results --------------------------------------------------------------------
"$summary" --log "$frame_log" --text "$out/summary.txt" --json "$out/summary.json" --size "${width}x$height" \
  --expect "$frames" --exclude "$video_at,$material_at" \
  || fail "no summary of the run: the plug-in's frame log $frame_log (Maya's log: $maya_log)"
"$sheet" --columns 4 --width 240 "$out/contact-sheet.png" "$out"/frames/*.png > /dev/null \
  || fail "could not make the contact sheet from $out/frames"
say "wrote $out: frames/ (stills), contact-sheet.png, maya-alone.png, summary.txt, summary.json, logs/"
