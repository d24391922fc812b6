#!/usr/bin/env bash
# Builds the Debian package, lists it, checks it with lintian, hardening-check,
# desktop-file-validate and appstreamcli, and runs korvane from the unpacked package, headless
# and through its window module on a virtual display: the installed layout must be the one the
# program looks for.
# Usage: check-package.sh BUILD_FOLDER MODULE_FROM_BIN EXAMPLES_FROM_BIN [PYTHON_MODULE]
# PYTHON_MODULE, the folder of the Python module below /usr, is given where it was built.
set -euo pipefail
build=$1
module_from_bin=$2
examples_from_bin=$3
python_module=${4:-}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export HOME=$work/home XDG_CONFIG_HOME=$work/config XDG_CACHE_HOME=$work/cache
mkdir -p "$HOME"

fail() {
    echo "FAIL: $*" >&2
    exit 1
}

cpack -G DEB --config "$build/CPackConfig.cmake" -B "$work/out" >"$work/cpack.log" ||
    { cat "$work/cpack.log"; fail "cpack could not build the package"; }
deb=$work/out/korvane_$(dpkg-deb -f "$(ls "$work"/out/*.deb)" Version)_$(dpkg --print-architecture).deb
[[ -f $deb ]] || fail "no package named $(basename "$deb")"
echo "== $(basename "$deb")"
dpkg-deb --info "$deb"
dpkg-deb --contents "$deb"

depends=$(dpkg-deb -f "$deb" Depends)
for needed in libc6 libqt6widgets6 libfluidsynth3 timgm6mb-soundfont; do
    [[ $depends == *"$needed"* ]] || fail "Depends lacks $needed: $depends"
done

root=$work/root
dpkg-deb -x "$deb" "$root"
for path in usr/bin/korvane \
    usr/share/korvane/examples/PianoDynamics.mid usr/share/applications/korvane.desktop \
    usr/share/metainfo/org.korvane.Korvane.metainfo.xml usr/share/man/man1/korvane.1.gz \
    usr/share/mime/packages/org.korvane.Korvane.mime.xml \
    usr/share/bash-completion/completions/korvane usr/share/korvane/screenshots/window.png \
    usr/share/icons/hicolor/{16x16,32x32,48x48,128x128,256x256}/apps/korvane.png \
    usr/share/doc/korvane/copyright usr/share/doc/korvane/changelog.gz; do
    [[ -f $root/$path ]] || fail "the package lacks /$path"
done
bin=$root/usr/bin
[[ -f $bin/$module_from_bin ]] || fail "no window module where korvane looks: $module_from_bin"
[[ -d $bin/$examples_from_bin ]] || fail "no examples where korvane looks: $examples_from_bin"

echo "== desktop-file-validate"
desktop-file-validate "$root/usr/share/applications/korvane.desktop"
echo "== appstreamcli validate --no-net"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.korvane.Korvane.metainfo.xml"
echo "== lintian"
lintian --fail-on error,warning --allow-root "$deb"
# Nothing to do on installing or removing: no library in a system folder, so no ldconfig.
scripts=$(dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -E 'inst$|rm$' || true)
[[ -z $scripts ]] || fail "the package has maintainer scripts: $scripts"

echo "== hardening-check"
# Debian 12's C library and start files carry no control-flow marks (IBT, SHSTK), so no program
# linked here can. The window module is built with _FORTIFY_SOURCE like the rest, but none of its
# libc calls has a size known when compiling, so there is no checked call to find in it.
unchecked=$(grep '"command"' "$build/compile_commands.json" | grep -v -- -D_FORTIFY_SOURCE=2 || true)
[[ -z $unchecked ]] || fail "built without _FORTIFY_SOURCE: $unchecked"
checks=("$bin/korvane --nocfprotection" "$bin/$module_from_bin --nocfprotection --nofortify")
if [[ -n $python_module ]]; then
    checks+=("$(ls "$root/usr/$python_module"/_korvane.*.so) --nocfprotection")
fi
for check in "${checks[@]}"; do
    read -r binary options <<<"$check"
    hardening-check $options "$binary" || fail "$binary is not hardened"
    readelf --wide --section-headers "$binary" | grep -q '\.comment' &&
        fail "$binary keeps its .comment section"
done

echo "== the unpacked korvane, headless and through its window module"
mkdir "$work/headless" "$work/window"
cp "$root"/usr/share/korvane/examples/*.mid "$work/headless/"
cp "$root"/usr/share/korvane/examples/*.mid "$work/window/"
"$bin/korvane" --speed=100 "$work"/headless/StuckNotes.mid
# "-f" with a display converts in the window's batch mode, so the window module must load.
xvfb-run -a "$bin/korvane" -f "$work/window/StuckNotes.mid" ||
    fail "the window module of the unpacked package did not run"
cmp "$work/headless/StuckNotesKRV.mid" "$work/window/StuckNotesKRV.mid"
head -c 4 "$work/window/StuckNotesKRV.mid" | grep -q MThd || fail "the window wrote no MIDI file"

if [[ -n $python_module ]]; then
    echo "== the unpacked Python module, on Debian's Python"
    [[ -f $root/usr/$python_module/__init__.py ]] || fail "the package lacks the Python module"
    PYTHONPATH=$(dirname "$root/usr/$python_module") /usr/bin/python3 -c '
import sys, korvane
assert korvane.__file__.startswith(sys.argv[1]), korvane.__file__
open(sys.argv[2] + "/FromPython.mid", "wb").write(korvane.convert(sys.argv[2] + "/StuckNotes.mid").data)
' "$root" "$work/window" || fail "the unpacked Python module did not convert"
    cmp "$work/headless/StuckNotesKRV.mid" "$work/window/FromPython.mid"
fi

echo "== bash completion"
mkdir "$work/songs" "$work/songs/folder"
touch "$work/songs/"{a.mid,b.RMI,c.kar,d.SMF,e.midi,notes.txt}
midi_files="a.mid b.RMI c.kar d.SMF e.midi folder "
complete_words() {
    # compopt only works while bash itself completes; here it has nothing to do.
    bash -c 'source /usr/share/bash-completion/bash_completion && source "$1" && cd "$2" &&
        compopt() { :; } &&
        shift 2 && COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) && COMP_LINE="$*" &&
        COMP_POINT=${#COMP_LINE} && _korvane korvane "${!#}" "${@: -2:1}" &&
        printf "%s\n" "${COMPREPLY[@]}" | sort | tr "\n" " "' \
        _ "$root/usr/share/bash-completion/completions/korvane" "$work/songs" "$@"
}
[[ $(complete_words korvane --sp) == "--speed= " ]] || fail "options: $(complete_words korvane --sp)"
for before in --fix-stuck-notes -f; do
    [[ $(complete_words korvane $before "") == "$midi_files" ]] ||
        fail "files after $before: $(complete_words korvane $before "")"
done
[[ $(complete_words korvane --output "") == "a.mid folder " ]] ||
    fail "output files: $(complete_words korvane --output "")"
[[ $(complete_words korvane --j) == "--jobs= " ]] || fail "run options: $(complete_words korvane --j)"
[[ $(complete_words korvane --output-dir "") == "folder " ]] ||
    fail "output folders: $(complete_words korvane --output-dir "")"
echo "package checked"
