# Installs the Debian packages a command needs, only those that are missing.
# Usage: ensure_packages NAME...
ensure_packages() {
  local missing=()
  local name
  for name in "$@"; do
    dpkg-query -W -f='${Status}' "$name" 2>/dev/null | grep -q 'install ok installed' || missing+=("$name")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=()
  [ "$(id -u)" -eq 0 ] || sudo=(sudo)
  "${sudo[@]}" apt-get update -qq
  DEBIAN_FRONTEND=noninteractive "${sudo[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
}

# What building and testing need; the run command needs the same.
QUARNEL_BUILD_PACKAGES=(cmake ninja-build g++ libgtest-dev libgmock-dev qt6-base-dev qt6-translations-l10n fonts-ipafont-gothic)
