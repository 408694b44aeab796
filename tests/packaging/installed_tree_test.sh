#!/usr/bin/env bash
# Installs a build into a scratch DESTDIR and runs both programs from the installed tree, the
# tree reached through a link, so the programs must find their folder from their real path.
#   installed_tree_test.sh BUILD_DIR
set -euo pipefail
build=$1
scratch=$(mktemp -d "${TMPDIR:-/tmp}/quelta-install-XXXXXX")
trap 'rm -rf "$scratch"' EXIT
fail() {
  echo "installed tree: $*" >&2
  exit 1
}

DESTDIR="$scratch/root" cmake --install "$build" --prefix /usr >/dev/null
usr="$scratch/root/usr"
for file in lib/quelta/quelta lib/quelta/quelta-ctl lib/quelta/quelta-factory.reg \
  lib/quelta/Skin/M_Sel.bmp share/applications/quelta.desktop \
  share/icons/hicolor/16x16/apps/quelta.png share/icons/hicolor/256x256/apps/quelta.png \
  share/man/man1/quelta.1.gz share/man/man1/quelta-ctl.1.gz \
  lib/udev/rules.d/70-quelta.rules share/doc/quelta/copyright \
  lib/systemd/user/quelta.service share/quelta/prometheus/quelta-rules.yml; do
  [ -e "$usr/$file" ] || fail "missing $file"
done
for program in quelta quelta-ctl; do
  [ "$(readlink "$usr/bin/$program")" = "../lib/quelta/$program" ] ||
    fail "bin/$program is not a link to ../lib/quelta/$program"
done

ln -s "$usr" "$scratch/linked"
export XDG_CONFIG_HOME="$scratch/config" XDG_RUNTIME_DIR="$scratch/run"
export QUELTA_LOCK_DIR="$scratch/lock" QT_QPA_PLATFORM=offscreen
mkdir -m 700 "$XDG_RUNTIME_DIR"
mkdir "$QUELTA_LOCK_DIR"

status=$("$scratch/linked/bin/quelta-ctl" --simulate status) || fail "quelta-ctl status failed"
grep -q "Power rating 550 W" <<<"$status" || fail "status printed no rating: $status"

"$scratch/linked/bin/quelta" --simulate --screenshot "$scratch/shot.png" \
  --screenshot-after 1500 2>"$scratch/quelta.err" || fail "quelta failed: $(cat "$scratch/quelta.err")"
[ "$(head -c 8 "$scratch/shot.png" | od -An -tx1 | tr -d ' \n')" = 89504e470d0a1a0a ] ||
  fail "the screenshot is not a PNG"
[ "$(stat -c %s "$scratch/shot.png")" -gt 20000 ] || fail "the screenshot is nearly empty"
[ -f "$XDG_CONFIG_HOME/quelta/registry.reg" ] || fail "no settings file started on first run"
[ "$(stat -c %s "$XDG_CONFIG_HOME/quelta/registry.reg")" -lt 4096 ] ||
  fail "the settings file holds more than the user's settings"

# The login entry starts the installed program by its real path.
"$scratch/linked/bin/quelta-ctl" autostart on >/dev/null || fail "autostart on failed"
grep -qx "Exec=$(realpath "$usr")/lib/quelta/quelta --tray" \
  "$XDG_CONFIG_HOME/autostart/quelta.desktop" || fail "the login entry does not start quelta --tray"

if command -v desktop-file-validate >/dev/null; then
  desktop-file-validate "$usr/share/applications/quelta.desktop" || fail "bad menu entry"
fi
if udevadm verify --help >/dev/null 2>&1; then
  udevadm verify "$usr/lib/udev/rules.d/70-quelta.rules" || fail "udevadm refuses the rule"
fi
echo "installed tree OK"
