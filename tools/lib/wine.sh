# shellcheck shell=bash
# Wine helpers for running Belltide's Windows executables in tests. Source it.
#   wine_arch EXE / wine_loader EXE  which prefix kind and loader a PE needs
#   wine_template ARCH                a booted prefix, built once per checkout and language
#   wine_session_start ARCH           throw-away copy + X server + wineserver
#   wine_session_end                  tears the session down (also on exit)
# wine_session_start sets EXIT/HUP/INT/TERM traps in the calling shell.

_wine_lib=$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/$(basename "${BASH_SOURCE[0]}")
_wine_repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)
_wine_session=
_wine_xvfb_pid=
_wine_display=
_wine_session_tmpdir=
# Mono and Gecko would otherwise be offered for download on every boot
_wine_overrides="mscoree,mshtml="

_wine_die() { echo "wine.sh: $*" >&2; return 1; }

# Prints win32 or win64 from the machine field of EXE's PE header.
wine_arch() {
  local exe=${1:-} b0 b1 b2 b3 p e z0 z1 machine
  [[ -f $exe ]] || { _wine_die "no such file: $exe"; return 1; }
  read -r b0 b1 b2 b3 < <(od -An -tu1 -j60 -N4 -- "$exe" 2>/dev/null)
  local pe=$((b0 | b1 << 8 | b2 << 16 | b3 << 24))
  read -r p e z0 z1 b0 b1 < <(od -An -tu1 -j"$pe" -N6 -- "$exe" 2>/dev/null)
  [[ "$p $e $z0 $z1" == "80 69 0 0" ]] || { _wine_die "not a PE executable: $exe"; return 1; }
  machine=$((b0 | b1 << 8))
  case $machine in
    $((0x14c))) echo win32 ;;
    $((0x8664))) echo win64 ;;
    *) _wine_die "unsupported PE machine 0x$(printf %x "$machine"): $exe"; return 1 ;;
  esac
}

# Prints the loader for a prefix kind. Debian keeps the real loaders in
# /usr/lib/wine (its /usr/bin/wine only picks one of them).
_wine_arch_loader() {
  case $1 in
    win32) if [[ -x /usr/lib/wine/wine ]]; then echo /usr/lib/wine/wine; else echo wine; fi ;;
    win64) if [[ -x /usr/lib/wine/wine64 ]]; then echo /usr/lib/wine/wine64; else echo wine64; fi ;;
    *) _wine_die "ARCH must be win32 or win64, not '$1'"; return 1 ;;
  esac
}

# Prints the loader command for EXE: i386 -> 32-bit wine, x86-64 -> wine64.
wine_loader() {
  local arch
  arch=$(wine_arch "${1:-}") || return 1
  _wine_arch_loader "$arch"
}

# The registry settings every test prefix starts from, as a UTF-16LE .reg
# file so the Japanese font names survive the import. The argument is the
# face of the usual dialog font: a Japanese one for a Japanese prefix.
_wine_reg_file() {
  printf '\xff\xfe'
  printf '%s\r\n' \
    'Windows Registry Editor Version 5.00' '' \
    '; Without a window manager every hide of a managed window waits ~2 s' \
    '[HKEY_CURRENT_USER\Software\Wine\X11 Driver]' '"Managed"="N"' '' \
    '; A crash ends the process instead of leaving a blocking dialog' \
    '[HKEY_CURRENT_USER\Software\Wine\WineDbg]' '"ShowCrashDialog"=dword:00000000' '' \
    '; Japanese dialog fonts come from the IPA fonts' \
    '[HKEY_CURRENT_USER\Software\Wine\Fonts\Replacements]' \
    '"ＭＳ Ｐゴシック"="IPAPGothic"' '"ＭＳ ゴシック"="IPAGothic"' \
    '"MS UI Gothic"="IPAPGothic"' "\"MS Shell Dlg\"=\"${1:-Liberation Sans}\"" \
    '; Wine finds no Tahoma of its own here, and would fall back to a Japanese face' \
    '"Tahoma"="Liberation Sans"' '' \
    '; Windows 10, as users run it: this Wine reports Windows 7 otherwise, where' \
    '; Windows plays the session sounds itself' \
    '[HKEY_CURRENT_USER\Software\Wine]' '"Version"="win10"' '' \
    '; Tests import the sound events they need' \
    '[-HKEY_CURRENT_USER\AppEvents]' '' |
    iconv -f UTF-8 -t UTF-16LE
}

# Environment shared by template creation and sessions: Japanese (code
# page 932) unless BELLTIDE_LOCALE names another, such as en_US.UTF-8 for
# code page 1252.
_wine_env() {
  local locale=${BELLTIDE_LOCALE:-ja_JP.UTF-8}
  export WINEPREFIX=$1 WINEDEBUG=${BELLTIDE_WINEDEBUG:--all}
  export WINEDLLOVERRIDES=$_wine_overrides LANG=$locale LC_ALL=$locale
}

# Removes the socket directory that Debian's wineserver records in the prefix
# (a random /tmp/wine-XXXXXX, or under TMPDIR): it would outlive the prefix.
_wine_forget_server_dir() {
  local name
  name=$(cat "$1/wineserver" 2>/dev/null) || return 0
  [[ $name =~ ^wine-[A-Za-z0-9]+$ ]] && rm -rf "${2:-${TMPDIR:-/tmp}}/$name"
  rm -f "$1/wineserver"
}

# A template is current when made by this Wine and this file.
_wine_stamp() {
  echo "$("$1" --version 2>&1) $(md5sum <"$_wine_lib" | cut -c1-32)"
}

# Boots a prefix in a temp dir beside TPL, then renames it into place.
_wine_template_build() {
  local arch=$1 loader=$2 tpl=$3 stamp=$4 tmp log=$3.log
  tmp=$(mktemp -d "$tpl.new.XXXXXX") || return 1
  echo "wine.sh: creating the $arch template prefix (log: $log)" >&2
  if ! (
    _wine_env "$tmp"
    export WINEARCH=$arch
    unset DISPLAY # no progress window on the caller's screen
    "$loader" wineboot -i &&
      _wine_reg_file $([[ $LANG == ja_JP* ]] && echo IPAPGothic) >"$tmp/drive_c/belltide-template.reg" &&
      "$loader" regedit /S 'C:\belltide-template.reg' &&
      wineserver -w && # registry reaches disk when the server exits
      grep -q '"Managed"="N"' "$tmp/user.reg"
  ) >"$log" 2>&1; then
    cat "$log" >&2
    rm -rf "$tmp"
    _wine_die "creating the $arch template failed"
    return 1
  fi
  rm -f "$tmp/drive_c/belltide-template.reg"
  _wine_forget_server_dir "$tmp"
  echo "$stamp" >"$tmp/.belltide-stamp"
  if [[ -e $tpl ]]; then mv -T "$tpl" "$tmp.old" || return 1; fi
  mv -T "$tmp" "$tpl" || return 1
  rm -rf "$tmp.old"
}

# Ensures build/wine/template-ARCH-LANGUAGE exists and is current; prints its path.
wine_template() {
  local arch=${1:-} loader dir tpl stamp
  loader=$(_wine_arch_loader "$arch") || return 1
  # A 32-bit loader cannot run where the kernel lacks 32-bit support
  "$loader" --version >/dev/null 2>&1 ||
    { _wine_die "$loader cannot run here, so no $arch prefix"; return 1; }
  stamp=$(_wine_stamp "$loader")
  dir=$_wine_repo/build/wine
  # One template per language: Wine sets up its fonts for the locale it boots in
  local language=${BELLTIDE_LOCALE:-ja_JP.UTF-8}
  tpl=$dir/template-$arch-${language%%_*}
  mkdir -p "$dir" || return 1
  # Parallel ctest jobs must not boot the same template twice
  (
    flock 9 || exit 1
    [[ $(cat "$tpl/.belltide-stamp" 2>/dev/null) == "$stamp" ]] && exit 0
    _wine_template_build "$arch" "$loader" "$tpl" "$stamp"
  ) 9>"$tpl.lock" || return 1
  echo "$tpl"
}

# Copies template TPL to prefix DEST. The DLL trees (~650 MB) are hard links:
# Wine only reads them, and copying them would take seconds per run. Every
# other file (registry, profile, ini files) gets a private copy.
_wine_copy_prefix() {
  local tpl=$1 dest=$2 d
  tar -C "$tpl" -cf - --exclude=./drive_c/windows/system32 \
    --exclude=./drive_c/windows/syswow64 --exclude=./drive_c/windows/winsxs . |
    tar -C "$dest" -xf - || return 1
  for d in system32 syswow64 winsxs; do
    [[ ! -d $tpl/drive_c/windows/$d ]] || cp -al "$tpl/drive_c/windows/$d" "$dest/drive_c/windows/" || return 1
  done
}

# Starts Xvfb on a free display and sets _wine_display (no subshell: the
# session must keep Xvfb's PID).
_wine_start_xvfb() {
  local fifo=$_wine_session/displayfd num
  mkfifo "$fifo" || return 1
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp \
    3>"$fifo" </dev/null >/dev/null 2>"$_wine_session/xvfb.log" &
  _wine_xvfb_pid=$!
  # Xvfb writes the display number once it accepts clients
  if ! read -r -t 30 num <"$fifo" || [[ -z $num ]]; then
    cat "$_wine_session/xvfb.log" >&2
    _wine_die "Xvfb did not start"
    return 1
  fi
  _wine_display=:$num
}

# Starts a session: fresh prefix copied from the ARCH template, own Xvfb
# (or $BELLTIDE_DISPLAY), Japanese locale, persistent wineserver.
wine_session_start() {
  local arch=${1:-} tpl
  [[ -z $_wine_session ]] || { _wine_die "a session is already running"; return 1; }
  tpl=$(wine_template "$arch") || return 1
  local locale=${BELLTIDE_LOCALE:-ja_JP.UTF-8}
  locale -a 2>/dev/null | sed 's/\.utf-\?8$/.UTF-8/I' | grep -qx "$locale" ||
    echo "wine.sh: warning: no $locale locale (run tools/bootstrap); code page stays 1252" >&2
  _wine_session=$(mktemp -d "${TMPDIR:-/tmp}/belltide-wine.XXXXXX") || return 1
  _wine_session_tmpdir=${TMPDIR:-/tmp}
  trap wine_session_end EXIT
  trap 'exit 129' HUP
  trap 'exit 130' INT
  trap 'exit 143' TERM
  mkdir "$_wine_session/prefix" || return 1
  # Shared lock: a template being rebuilt is not copied half-way
  (flock -s 9 && _wine_copy_prefix "$tpl" "$_wine_session/prefix") 9>"$tpl.lock" || return 1
  if [[ -n ${BELLTIDE_DISPLAY:-} ]]; then
    _wine_display=$BELLTIDE_DISPLAY
  else
    _wine_start_xvfb || return 1
  fi
  _wine_env "$_wine_session/prefix"
  export DISPLAY=$_wine_display
  # Keeps Wine's services up between the processes of one session
  wineserver -p </dev/null >/dev/null 2>&1
}

# Ends the session: its wineserver and Wine processes, its Xvfb, its prefix.
wine_session_end() {
  local s=$_wine_session
  [[ -n $s ]] || return 0
  _wine_session=
  trap - EXIT HUP INT TERM
  if [[ -d $s/prefix ]]; then
    WINEPREFIX=$s/prefix wineserver -k >/dev/null 2>&1 || true
    WINEPREFIX=$s/prefix wineserver -w >/dev/null 2>&1 || true
    _wine_forget_server_dir "$s/prefix" "$_wine_session_tmpdir"
  fi
  if [[ -n $_wine_xvfb_pid ]]; then
    kill "$_wine_xvfb_pid" 2>/dev/null || true
    wait "$_wine_xvfb_pid" 2>/dev/null || true
    _wine_xvfb_pid=
  fi
  rm -rf "$s"
}
