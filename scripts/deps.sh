# Sourced by scripts/run and scripts/test: installs the Debian packages the build needs, if missing.
PRESCRIPTS_PACKAGES="cmake ninja-build g++ pkg-config libsqlite3-dev qt6-base-dev libgtest-dev libgmock-dev libbenchmark-dev nlohmann-json3-dev libgl1-mesa-dev poppler-utils fonts-dejavu-core xvfb openbox xdotool x11-utils"
prescripts_install_deps() {
  local missing=()
  for p in $PRESCRIPTS_PACKAGES; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}
