#!/usr/bin/env bash
# The release zip of this build (made by tools/package as tools/release-build
# makes it: the win64 zip's bytes from build/x86_64, the win32 zip's from
# build/i686) unpacked into a fresh folder whose path holds spaces and
# Japanese characters, and belltide.exe started there in a fresh Wine prefix
# through its first run (released_test.cpp). On Windows (MSYS2's bash) the
# test program runs as it is, in the session's own registry; the Windows
# workflow does the same with the shipped zip itself (run-tier.ps1 -Zip).
#   released_zip.sh BELLTIDE_EXE E2E_TESTS_EXE
set -euo pipefail
repo=$(cd "$(dirname "$0")/../.." && pwd)
place=$(mktemp -d)
trap 'rm -rf "$place"' EXIT
"$repo/tools/package" "$1" "$place/belltide.zip"
folder="$place/My Sounds 効果音ソ"  # the second byte of ソ in code page 932 is a backslash
mkdir "$folder"
python3 -m zipfile -e "$place/belltide.zip" "$folder"
case $(uname -s) in
  MINGW* | MSYS*) "$2" "$(cygpath -w "$folder/Belltide/belltide.exe")" --gtest_filter='Released.*' ;;
  *) "$repo/tools/wine-exec" "$2" "Z:${folder//\//\\}\\Belltide\\belltide.exe" --gtest_filter='Released.*' ;;
esac
