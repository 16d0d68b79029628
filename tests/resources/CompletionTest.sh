#!/usr/bin/env bash
# The bash completion of torvex as bash-completion runs it: options, the words of the options
# that take them, and the files the program reads. Skips (exit 77) without bash-completion.
# Usage: CompletionTest.sh PATH/TO/torvex.bash-completion
set -u
main=/usr/share/bash-completion/bash_completion
[ -f "$main" ] || { echo "skipped: bash-completion is not installed"; exit 77; }
# shellcheck disable=SC1090
source "$main"
source "$1"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1
touch a.s2p B.S12P c.ts notes.txt x.out

failures=0
# expect "WORDS ON THE LINE" "EXPECTED COMPLETIONS (sorted, blank-separated)"
expect() {
    read -r -a COMP_WORDS <<< "$1"
    [[ $1 == *" " ]] && COMP_WORDS+=("")
    COMP_CWORD=$((${#COMP_WORDS[@]} - 1))
    COMP_LINE=$1
    COMP_POINT=${#COMP_LINE}
    COMPREPLY=()
    _torvex torvex "${COMP_WORDS[COMP_CWORD]}" "${COMP_WORDS[COMP_CWORD-1]}"
    local got
    got=$(printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ' | sed 's/ $//')
    if [ "$got" != "$2" ]; then
        echo "FAIL: '$1' gave '$got', expected '$2'"
        failures=$((failures + 1))
    fi
}
expect "torvex --vi" "--view"
expect "torvex --export x.png --view al" "all-il all-rl"
expect "torvex --view S21:de" "S21:delay"
expect "torvex --window " "hann kaiser: max min normal rect"
expect "torvex --gate-shape w" "wide"
expect "torvex --unit g" "ghz"
expect "torvex " "B.S12P a.s2p c.ts x.out"
exit $((failures > 0))
