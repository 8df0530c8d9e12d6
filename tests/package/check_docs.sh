#!/bin/bash
# The manual pages and the bash completion against the programs themselves:
# every command and option that a --help text names is documented and
# completed, the pages render without warnings, and the completion offers
# what it should.
# usage: check_docs.sh DOZ-CLI DOZ-UNITSIM PACKAGING-SOURCE-DIR PACKAGING-BUILD-DIR
set -u
cli=$1 unitsim=$2 src=$3 gen=$4
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Page text with roff's escaped hyphens made plain.
page() { sed 's/\\-/-/g' "$gen/man-source/$1.1"; }
options_of() { grep -oE -- '(^|[ [])(--[a-z][a-z-]*|-o)\b' | tr -d ' [' | sort -u; }

completion=$src/doz-cli.bash-completion
verbs=$("$cli" --help | sed -n 's/^  doz-cli \([a-z]*\) .*/\1/p')
[ -n "$verbs" ] || fail "doz-cli --help lists no commands"
for verb in $verbs; do
  page doz-cli | grep -q "^\.SS \"$verb" || fail "doz-cli.1 has no section for $verb"
  grep -q "compgen -W \"[^\"]*\b$verb\b" "$completion" || fail "completion lacks the command $verb"
  completed=$(sed -n "s/^ *$verb) options=\"\(.*\)\" ;;/\1/p" "$completion")
  for option in $("$cli" "$verb" --help | options_of); do
    page doz-cli | grep -q -- "$option\b" || fail "doz-cli.1 lacks $verb $option"
    [[ " $completed " == *" $option "* ]] || fail "completion lacks $verb $option"
  done
  for code in $("$cli" "$verb" --help | sed -n 's/^Exit status: //p' | grep -oE '\b[0-9]+\b'); do
    page doz-cli | sed -n '/^\.SH "EXIT STATUS"/,/^\.SH/p' | grep -qx "\.B $code" ||
      fail "doz-cli.1 lacks exit status $code ($verb)"
  done
done
for option in $("$unitsim" --help | options_of); do
  page doz-unitsim | grep -q -- "$option\b" || fail "doz-unitsim.1 lacks $option"
done
for fault in $("$unitsim" --help | sed -n 's/^      \([a-z-]*\).*/\1/p'); do
  page doz-unitsim | grep -q "^\.B[IR]\? $fault" || fail "doz-unitsim.1 lacks the fault $fault"
done

if command -v man >/dev/null; then
  for name in doz doz-cli doz-unitsim; do
    warnings=$(LC_ALL=C.UTF-8 MANROFFSEQ='' MANWIDTH=80 \
      man --warnings -E UTF-8 -l -Tutf8 -Z "$gen/man-source/$name.1" 2>&1 >/dev/null)
    [ -z "$warnings" ] || fail "$name.1 renders with warnings: $warnings"
  done
fi

# The completion, driven as bash drives it.
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/sub" && touch "$work/a.DTA" "$work/b.dta" "$work/c.txt"
complete_line() {
  (cd "$work" && source "$completion" && COMP_WORDS=("$@") && COMP_CWORD=$(($# - 1)) &&
    _doz_cli && ((${#COMPREPLY[@]})) && printf '%s\n' "${COMPREPLY[@]}" | sort | tr '\n' ' ')
}
expect() {
  local want=$1
  shift
  local got
  got=$(complete_line "$@")
  [ "$got" = "$want" ] || fail "completing '$*': got '$got', want '$want'"
}
expect "export " doz-cli ex
expect "a.DTA b.dta sub " doz-cli info ""
expect "a.DTA b.dta sub " doz-cli compare a.DTA ""
expect "a.DTA b.dta sub " doz-cli plot a.DTA --ref ""
expect "a.DTA b.dta c.txt sub " doz-cli plot a.DTA -o ""
expect "csv " doz-cli export a.DTA --format c
expect "Lp Ls " doz-cli plot a.DTA --quantity L
expect "rl rlc rlc-parallel " doz-cli analyze a.DTA --model rl
expect "--phase-tolerance --port " doz-cli measure --p
expect "" doz-cli measure --tolerance ""
expect "" doz-cli ports ""
expect "--serial --since --stats " doz-cli results --s
expect "--save-dir --serial --short --station " doz-cli inspect --s
expect "a.DTA b.dta c.txt sub " doz-cli results --db ""
touch "$work/coil.dozcheck"
expect "coil.dozcheck sub " doz-cli inspect --criteria ""
expect "sub " doz-cli inspect --save-dir ""

[ "$failures" = 0 ] || exit 1
echo "manual pages and completion agree with the programs"
