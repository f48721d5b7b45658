# Shared by .ci/run and the stage scripts in .ci/stages/.
# shellcheck shell=bash

jobs=$(nproc 2>/dev/null || echo 2)
export jobs

# need_packages PKG...: installs the Debian packages that are not installed yet.
need_packages() {
  local missing=() p
  for p in "$@"; do
    dpkg -s "$p" >/dev/null 2>&1 || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "== installing: ${missing[*]}"
    export DEBIAN_FRONTEND=noninteractive
    if [ -z "${QZ_APT_UPDATED:-}" ]; then
      apt-get update -qq
      QZ_APT_UPDATED=1
      export QZ_APT_UPDATED
    fi
    apt-get install -y -qq --no-install-recommends "${missing[@]}"
  fi
}

# stage NAME: prints a heading and the seconds spent since the previous one.
stage() {
  local now
  now=$(date +%s)
  if [ -n "${QZ_STAGE_START:-}" ]; then
    echo "   (${QZ_STAGE_NAME}: $((now - QZ_STAGE_START)) s)"
  fi
  QZ_STAGE_START=$now
  QZ_STAGE_NAME=$1
  echo "== $1"
}
