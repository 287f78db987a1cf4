#!/usr/bin/env bash
# `make install` as a user runs it: the two programs stripped under a prefix
# with a space in it, the desktop entry, icons, AppStream data, man page,
# completion and the systemd user units valid; the installed programs keep
# their database in the user's data folder; then everything installed is
# removed again.
#   install_smoke.sh BUILD_DIR
set -euo pipefail
build=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix="$work/my prefix"
fail() { echo "install smoke: $*" >&2; exit 1; }

cmake --install "$build" --prefix "$prefix" --strip >"$work/install.log" 2>&1 ||
  { cat "$work/install.log" >&2; fail "cmake --install failed"; }
for file in bin/pelmora bin/pelmora-cli share/applications/pelmora.desktop \
  share/metainfo/io.github.pelmora.Pelmora.metainfo.xml \
  share/icons/hicolor/scalable/apps/pelmora.svg share/icons/hicolor/16x16/apps/pelmora.png \
  share/icons/hicolor/256x256/apps/pelmora.png share/bash-completion/completions/pelmora-cli \
  share/man/man1/pelmora-cli.1 share/systemd/user/pelmora-refresh.service \
  share/systemd/user/pelmora-refresh.timer; do
  [ -e "$prefix/$file" ] || fail "$file was not installed"
done
for program in pelmora pelmora-cli; do
  if readelf -S "$prefix/lib/pelmora/$program" | grep -q '\.symtab'; then fail "$program is not stripped"; fi
done
grep -qx "Exec=\"$prefix/lib/pelmora/pelmora\"" "$prefix/share/applications/pelmora.desktop" ||
  fail "Exec is not the quoted program"
desktop-file-validate "$prefix/share/applications/pelmora.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/io.github.pelmora.Pelmora.metainfo.xml" >/dev/null
grep -q 'the database file' "$prefix/share/man/man1/pelmora-cli.1" || fail "the man page lacks the options"

# The refresh service runs the installed pelmora-cli (quoted: the prefix has a
# blank); systemd itself accepts both units where it can run here. A user
# manager needs a runtime folder; a container where systemd-analyze cannot
# even check a trivial unit skips the check.
units="$prefix/share/systemd/user"
grep -qxF "ExecStart=\"$prefix/lib/pelmora/pelmora-cli\" update-dates --due" "$units/pelmora-refresh.service" ||
  fail "ExecStart is not the installed pelmora-cli"
grep -qx 'OnCalendar=daily' "$units/pelmora-refresh.timer" || fail "the timer is not daily"
verify_units() {
  mkdir -p -m 700 "$work/runtime"
  XDG_RUNTIME_DIR="$work/runtime" systemd-analyze verify --user "$@" >"$work/verify.log" 2>&1
}
printf '[Service]\nType=oneshot\nExecStart=/bin/true\n' >"$work/pelmora-probe.service"
if ! command -v systemd-analyze >/dev/null; then
  echo "install smoke: no systemd-analyze, units not verified"
elif ! verify_units "$work/pelmora-probe.service"; then
  echo "install smoke: systemd-analyze cannot run here, units not verified"
else
  verify_units "$units/pelmora-refresh.service" "$units/pelmora-refresh.timer" &&
    ! grep -q 'pelmora-refresh' "$work/verify.log" ||
    { cat "$work/verify.log" >&2; fail "systemd-analyze refuses the units"; }
fi

# The installed programs: a database created in $XDG_DATA_HOME/pelmora, shared
# by both, and completion that names the commands and a command's options.
export XDG_DATA_HOME="$work/data" HOME="$work/home"
echo "smoke.com" | "$prefix/bin/pelmora-cli" add >/dev/null
[ -f "$XDG_DATA_HOME/pelmora/domain.mdb" ] || fail "the database is not in the data folder"
"$prefix/bin/pelmora-cli" list | grep -q '^smoke.com' || fail "list does not show the domain"
"$prefix/bin/pelmora-cli" --version | grep -q '^pelmora-cli ' || fail "no version"
completions() {
  bash -c 'source "$1"; shift; COMP_WORDS=("$@"); COMP_CWORD=$(($# - 1)); _pelmora_cli; echo "${COMPREPLY[*]}"' \
    _ "$prefix/share/bash-completion/completions/pelmora-cli" "$@"
}
[[ " $(completions "$prefix/bin/pelmora-cli" "") " == *" update-dates "* ]] || fail "completion lacks the commands"
[[ " $(completions "$prefix/bin/pelmora-cli" list --o) " == *" --order "* ]] || fail "completion lacks list's options"

xargs -d '\n' rm -f <"$build/install_manifest.txt"
left=$(find "$prefix" -type f -o -type l)
[ -z "$left" ] || fail "uninstall left: $left"
echo "install smoke: ok"
