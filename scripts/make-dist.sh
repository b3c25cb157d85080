#!/usr/bin/env bash
# Writes the Windows installer and a portable archive of each build, with checksums, into a
# folder (default dist/). Both builds must exist (scripts/build.sh x86_64 and i686).
set -euo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
out=${1:-$root/dist}
version=1.0
mkdir -p "$out"
out=$(cd "$out" && pwd)
for arch in x86_64 i686; do
    [ -f "$root/build/$arch/mnemora.exe" ] || { echo "build/$arch/mnemora.exe is missing" >&2; exit 1; }
done
samples="$root/build/samples"
bash "$root/samples/make-samples.sh" "$samples"

makensis -V2 -DVERSION=$version -DBUILD64="$root/build/x86_64" -DBUILD32="$root/build/i686" \
    -DHELP="$root/help" -DSAMPLES="$samples" -DOUTFILE="$out/mnemora-$version-setup.exe" \
    "$root/installer/mnemora.nsi"

for arch in x86_64 i686; do
    stage=$(mktemp -d)
    mkdir -p "$stage/Mnemora/samples"
    cp "$root/build/$arch/mnemora.exe" "$stage/Mnemora/"
    cp -r "$root/help" "$stage/Mnemora/help"
    cp -r "$samples/." "$stage/Mnemora/samples/"
    rm -f "$stage/Mnemora/samples/Mnemora samples/.complete"
    cat >"$stage/Mnemora/README.txt" <<TXT
Mnemora $version ($arch), portable.
Start mnemora.exe. To play the sample card sets, copy the contents of the "samples" folder
into your application-data folder (type %APPDATA% into the Explorer's address bar).
TXT
    rm -f "$out/mnemora-$version-$arch.zip"
    (cd "$stage" && zip -qr "$out/mnemora-$version-$arch.zip" Mnemora)
    rm -rf "$stage"
done
(cd "$out" && sha256sum "mnemora-$version-setup.exe" "mnemora-$version-x86_64.zip" "mnemora-$version-i686.zip" >SHA256SUMS)
echo "wrote $(ls "$out" | tr '\n' ' ')into $out"
