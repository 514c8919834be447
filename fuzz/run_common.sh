# shellcheck shell=bash disable=SC2034  # the variables are for the scripts that source this
# Sourced by the fuzz run scripts with their arguments, <build dir> <seconds>:
# sets build, seconds, repo and profiles (the real profiles beside the
# repository, ../shared/mach3-profiles).
build=${1:?build directory}
seconds=${2:-60}
repo=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
profiles="$repo/../shared/mach3-profiles"

# fuzz_folders <prefix>: sets the folders of one script in the build directory,
# named <prefix>seeds (made afresh each run), <prefix>corpus (grows across
# runs) and <prefix>findings (anything found is kept there).
fuzz_folders() {
    seeds="$build/$1seeds"
    corpus="$build/$1corpus"
    findings="$build/$1findings"
    rm -rf "$seeds"
}
