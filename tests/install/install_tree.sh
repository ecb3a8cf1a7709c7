#!/usr/bin/env bash
# Installs the build into a scratch prefix and checks that the desktop integration is all there:
# the program, its launcher, icon, file types, software-centre entry, shipped data and the user
# guide.
set -euo pipefail

build_dir=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT

cmake --install "$build_dir" --prefix "$prefix" >/dev/null

failures=0
fail() { echo "FEL: $*" >&2; failures=$((failures + 1)); }
need() { [ -s "$prefix/$1" ] || fail "saknas: $1"; }

if [ -x "$prefix/bin/kvistbo" ]; then
    # The installed copy runs on its own, without the build tree's libraries or paths.
    QT_QPA_PLATFORM=offscreen timeout 20 "$prefix/bin/kvistbo" --version | grep -q '^Ravelund ' \
        || fail "bin/kvistbo --version"
else
    fail "saknas eller ej körbar: bin/kvistbo"
fi
need share/kvistbo/chelcondef.txt
# The guide (F1) with every picture and style sheet it refers to.
help=share/kvistbo/help
need $help/index.html
if [ -s "$prefix/$help/index.html" ]; then
    grep -q '<html lang="sv">' "$prefix/$help/index.html" || fail "handboken är inte på svenska"
    refs=$(grep -oE '(src|href)="[^":#]+"' "$prefix/$help/index.html" |
        sed -E 's/^[a-z]+="(.*)"$/\1/' | sort -u)
    pictures=0
    for ref in $refs; do
        need "$help/$ref"
        case $ref in
        *.png)
            pictures=$((pictures + 1))
            if [ -s "$prefix/$help/$ref" ] && command -v file >/dev/null; then
                file "$prefix/$help/$ref" | grep -q 'PNG image data' || fail "$ref är ingen PNG"
            fi
            ;;
        esac
    done
    [ "$pictures" -ge 2 ] || fail "handboken har färre än två skärmbilder"
fi
need share/icons/hicolor/scalable/apps/kvistbo.svg
# Each fixed size holds a bitmap when the build rendered them, else the drawing itself.
for size in 16 24 48; do
    dir=share/icons/hicolor/${size}x${size}/apps
    if [ -s "$prefix/$dir/kvistbo.png" ]; then
        if command -v file >/dev/null; then
            file "$prefix/$dir/kvistbo.png" | grep -q "PNG image data, $size x $size" \
                || fail "$dir/kvistbo.png är inte $size×$size"
        fi
    else
        need "$dir/kvistbo.svg"
    fi
done
need share/mime/packages/kvistbo.xml
need share/metainfo/se.brax.Kvistbo.metainfo.xml

desktop=$prefix/share/applications/se.brax.Kvistbo.desktop
need share/applications/se.brax.Kvistbo.desktop
if [ -s "$desktop" ]; then
    grep -qx 'Exec=kvistbo %f' "$desktop" || fail "Exec ska öppna en fil"
    grep -qx 'Icon=kvistbo' "$desktop" || fail "Icon ska vara programikonen"
    for type in application/x-kvistbo-tds application/x-kvistbo-tdb; do
        grep -q "^MimeType=.*$type;" "$desktop" || fail "MimeType saknar $type"
    done
    if command -v desktop-file-validate >/dev/null; then
        desktop-file-validate "$desktop" || fail "desktop-file-validate"
    fi
fi

# Each file type the launcher claims is declared, with lower- and upper-case globs.
mime=$prefix/share/mime/packages/kvistbo.xml
if [ -s "$mime" ]; then
    for ext in tds tdb; do
        grep -q "<mime-type type=\"application/x-kvistbo-$ext\">" "$mime" \
            || fail "mime-typ saknas för .$ext"
        grep -q "pattern=\"\*\.$ext\"" "$mime" || fail "glob *.$ext saknas"
        grep -q "pattern=\"\*\.${ext^^}\"" "$mime" || fail "glob *.${ext^^} saknas"
    done
    if command -v xmllint >/dev/null; then
        xmllint --noout "$mime" || fail "mime-XML är inte välformad"
    fi
    # The database built from it must map a file name to our type.
    if command -v update-mime-database >/dev/null; then
        update-mime-database "$prefix/share/mime" 2>/dev/null || fail "update-mime-database"
        for ext in tds tdb; do
            grep -qx "[0-9]*:application/x-kvistbo-$ext:\*\.$ext" "$prefix/share/mime/globs2" \
                || fail "mime-databasen känner inte *.$ext"
        done
    fi
fi

metainfo=$prefix/share/metainfo/se.brax.Kvistbo.metainfo.xml
if [ -s "$metainfo" ]; then
    grep -q '<launchable type="desktop-id">se.brax.Kvistbo.desktop</launchable>' "$metainfo" \
        || fail "metainfo pekar inte på startfilen"
    grep -q '@[A-Z_]*@' "$metainfo" && fail "metainfo har oersatta variabler"
    if command -v appstreamcli >/dev/null; then
        out=$(appstreamcli validate --no-net "$metainfo" 2>&1) || {
            echo "$out" >&2
            fail "appstreamcli validate"
        }
    fi
fi

[ "$failures" -eq 0 ] || exit 1
echo "Installationsträdet är komplett."
