#!/usr/bin/env bash
# korvexctl list over each sysfs tree of trees/ (KORVEX_SYSFS_ROOT and
# KORVEX_DEV_ROOT): the table must be the tree's "| " lines, each hub shown
# off must carry the note naming the udev rule (the nodes are plain files,
# which take no HID requests), and the store goes to --state-dir.
# Arguments: korvexctl, the expand_tree program, the trees folder.
set -u
korvexctl=$1 expand=$2 trees=$3
failures=0
failed() { echo "FAIL: $*" && failures=$((failures + 1)); }
for tree in "$trees"/*.txt; do
  dir=$(mktemp -d)
  "$expand" "$tree" "$dir" || failed "cannot expand $tree"
  out=$(KORVEX_SYSFS_ROOT=$dir/sys KORVEX_DEV_ROOT=$dir/dev "$korvexctl" --state-dir "$dir/state" list)
  [ $? -eq 0 ] || failed "$tree: list failed"
  diff <(sed -n 's/^| //p' "$tree") <(grep -v '^note: ' <<<"$out") ||
    failed "$tree: the table differs (< expected, > printed)"
  [ "$(grep -c ' OFF ' <<<"$out")" -eq "$(grep -c '^note: hub .*70-korvex.rules' <<<"$out")" ] ||
    failed "$tree: not one rule note per hub shown off: $out"
  [ -f "$dir/state/korvex.dat" ] || failed "$tree: no korvex.dat in the --state-dir folder"
  rm -rf "$dir"
done
[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" && exit 1; }
echo "korvexctl over sysfs trees: all checks passed"
