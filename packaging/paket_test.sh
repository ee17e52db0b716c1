#!/usr/bin/env bash
# The Debian package as a user gets it: built from a release tree of its own, unpacked with
# dpkg -x, its files and desktop entry checked, lintian run on it, the unpacked program started
# offscreen on a temporary home (it must make its databases there and write nothing beside
# itself), and a portable copy in a folder that cannot be written pointed to the user's data
# directory.
#
#   paket_test.sh SOURCE_DIR TREE
# TREE is kept between runs (a second run rebuilds only what changed); everything else lives in
# a temporary folder that is removed at the end.
set -euo pipefail
quelle=$1
baum=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fehler=0
pruefe() {  # pruefe TEXT COMMAND...: runs the check, reports it, counts a failure
    local text=$1
    shift
    if "$@"; then
        echo "ok: $text"
    else
        echo "FAILED: $text"
        fehler=$((fehler + 1))
    fi
}

# 1. A release tree (no sanitizers, no tests): only the installed targets are built.
launcher=()
if command -v ccache >/dev/null; then
    launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
fi
cmake -S "$quelle" -B "$baum" -G "Unix Makefiles" -DCMAKE_BUILD_TYPE=Release \
    -DSPINALYST_WERROR=ON -DSPINALYST_TESTS=OFF -DSPINALYST_BENCH=OFF \
    -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "${launcher[@]}" >"$tmp/konfiguration.log"
cmake --build "$baum" -j2 --target spinalyst spinalyst-cli spinalyst_hilfe spinalyst_changelog spinalyst_handbuch \
    >"$tmp/bau.log" || { tail -50 "$tmp/bau.log"; exit 1; }
(cd "$tmp" && cpack --config "$baum/CPackConfig.cmake" -B "$tmp/paket" >"$tmp/cpack.log") ||
    { cat "$tmp/cpack.log"; exit 1; }
deb=$(ls "$tmp"/paket/spinalyst_*.deb)
echo "package: $(basename "$deb")"

# 2. The control data: dependencies found from the linked libraries, not listed by hand.
dpkg-deb -f "$deb" Package Version Architecture Maintainer Section Depends
abhaengig=$(dpkg-deb -f "$deb" Depends)
for paket in libqt6widgets6 libqt6gui6 libqt6core6 libqt6svg6 libsqlite3-0 libc6; do
    pruefe "depends on $paket" grep -q "$paket" <<<"$abhaengig"
done
pruefe "no sanitizer library in the dependencies" bash -c "! grep -qi 'asan\|ubsan' <<<'$abhaengig'"

# 3. The files.
ausgepackt=$tmp/ausgepackt
dpkg -x "$deb" "$ausgepackt"
for datei in usr/bin/spinalyst usr/bin/spinalyst-cli \
    usr/share/spinalyst/Hilfe_Roulette.pdf usr/share/spinalyst/Help_Roulette.pdf \
    usr/share/applications/de.molvane.Spinalyst.desktop \
    usr/share/metainfo/de.molvane.Spinalyst.metainfo.xml \
    usr/share/icons/hicolor/scalable/apps/spinalyst.svg \
    usr/share/doc/spinalyst/copyright usr/share/doc/spinalyst/changelog.gz \
    usr/share/man/man1/spinalyst.1.gz usr/share/man/man1/spinalyst-cli.1.gz; do
    pruefe "$datei" test -s "$ausgepackt/$datei"
done
pruefe "nothing else in usr/bin" test "$(ls "$ausgepackt/usr/bin" | tr '\n' ' ')" = "spinalyst spinalyst-cli "
pruefe "help files are PDF" grep -q '^%PDF' "$ausgepackt/usr/share/spinalyst/Help_Roulette.pdf"
eintrag=$ausgepackt/usr/share/applications/de.molvane.Spinalyst.desktop
pruefe "desktop-file-validate" desktop-file-validate "$eintrag"
for zeile in 'Exec=spinalyst' 'Icon=spinalyst' 'Name=Spinalyst' 'Comment\[de\]=' 'Comment=' \
    'Categories=.*Office'; do
    pruefe "desktop entry: $zeile" grep -q "^$zeile" "$eintrag"
done
pruefe "AppStream metadata" appstreamcli validate --no-net \
    "$ausgepackt/usr/share/metainfo/de.molvane.Spinalyst.metainfo.xml"
pruefe "the icon is an SVG" grep -q '<svg' \
    "$ausgepackt/usr/share/icons/hicolor/scalable/apps/spinalyst.svg"
if command -v lintian >/dev/null; then
    # Errors fail; warnings and notes are shown.
    pruefe "lintian reports no errors" lintian --fail-on error --tag-display-limit 0 "$deb"
else
    echo "FAILED: lintian is not installed (scripts/install-deps.sh installs it)"
    fehler=$((fehler + 1))
fi

# 4. The unpacked program on a fresh home: databases in ~/.local/share/Spinalyst, nothing beside
# the program. As root the installed layout alone keeps it out of its folder.
heim=$tmp/heim
mkdir -p "$heim" "$tmp/laufzeit"
chmod 0700 "$tmp/laufzeit"
find "$ausgepackt" | sort >"$tmp/vorher"
pruefe "spinalyst --quit-after-start" env -u XDG_DATA_HOME HOME="$heim" XDG_RUNTIME_DIR="$tmp/laufzeit" \
    QT_QPA_PLATFORM=offscreen timeout 120 "$ausgepackt/usr/bin/spinalyst" --quit-after-start
daten=$heim/.local/share/Spinalyst
for datei in Datenbank_Roulette.tdbd Datenbank_DM_Modul.tdbd Molvanes_Spinalyst.exe.lock; do
    pruefe "$daten/$datei" test -f "$daten/$datei"
done
find "$ausgepackt" | sort >"$tmp/nachher"
pruefe "nothing written beside the program" diff "$tmp/vorher" "$tmp/nachher"
pruefe "the databases hold their tables and reference rows" bash -c \
    "'$ausgepackt/usr/bin/spinalyst-cli' init '$daten' | grep -c ': found, ' | grep -qx 2"
pruefe "spinalyst-cli where names the same directory" test \
    "$(env -u XDG_DATA_HOME HOME="$heim" "$ausgepackt/usr/bin/spinalyst-cli" where)" = "$daten"

# 5. A portable copy (no share folder beside it) whose folder cannot be written, with databases
# in it: the user's data directory is used and the originals stay untouched. chmod stops no
# write of root, so as root the programs run as the user nobody.
portabel=$tmp/portabel
mkdir -p "$portabel"
cp "$ausgepackt/usr/bin/spinalyst" "$ausgepackt/usr/bin/spinalyst-cli" "$portabel/"
"$portabel/spinalyst-cli" init "$portabel" >/dev/null
rm -f "$portabel"/*-wal "$portabel"/*-shm
heim2=$tmp/heim2
mkdir -p "$heim2/laufzeit"
chmod 0700 "$heim2/laufzeit"
chmod 0755 "$tmp"
chmod 0555 "$portabel"
als=()
if [ "$(id -u)" -eq 0 ]; then
    chown -R nobody "$heim2"
    als=(setpriv --reuid=nobody --regid=nogroup --clear-groups --)
fi
(cd "$portabel" && sha256sum Datenbank_*.tdbd) >"$tmp/pruefsummen"
find "$portabel" | sort >"$tmp/vorher2"
pruefe "where: a folder that cannot be written sends the data to the user's directory" test \
    "$(env -u XDG_DATA_HOME HOME="$heim2" "${als[@]}" "$portabel/spinalyst-cli" where)" = \
    "$heim2/.local/share/Spinalyst"
pruefe "--data-dir: the option wins" test \
    "$(HOME="$heim2" "${als[@]}" "$portabel/spinalyst-cli" where --data-dir "$tmp/eigen")" = \
    "$tmp/eigen"
pruefe "the program starts on the option's directory" env HOME="$heim2" XDG_RUNTIME_DIR="$heim2/laufzeit" \
    QT_QPA_PLATFORM=offscreen timeout 120 "${als[@]}" "$portabel/spinalyst" \
    --data-dir "$heim2/eigen" --quit-after-start
pruefe "its databases are there" test -f "$heim2/eigen/Datenbank_Roulette.tdbd"
pruefe "the originals are unchanged" bash -c "cd '$portabel' && sha256sum -c --quiet '$tmp/pruefsummen'"
find "$portabel" | sort >"$tmp/nachher2"
pruefe "nothing written beside the portable program" diff "$tmp/vorher2" "$tmp/nachher2"
chmod 0755 "$portabel"

echo "$fehler failed"
[ "$fehler" -eq 0 ]
