# Sourced by scripts/build and scripts/test: the packages of standalone/ (each folder is one, named
# as its package), stand-ins for ROS 2's own that are neither built nor tested where a ROS 2 install
# provides the real ones.
# shellcheck disable=SC2034
mapfile -t standalone_packages < <(cd "$(dirname "${BASH_SOURCE[0]}")/../standalone" && ls)
