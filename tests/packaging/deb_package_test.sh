#!/usr/bin/env bash
# Builds the Debian package from the build folder, checks what it holds,
# unpacks it into a temporary root and runs the unpacked korvexctl there
# over a sysfs tree. Arguments: the build folder, expand_tree, a tree file.
set -u
build=$1 expand=$2 tree=$3
dir=$(mktemp -d)
trap 'rm -rf "$dir"' EXIT
failures=0
failed() { echo "FAIL: $*" && failures=$((failures + 1)); }

(cd "$build" && cpack -G DEB -B "$dir/out" >"$dir/cpack.log" 2>&1) ||
  { cat "$dir/cpack.log"; exit 1; }
deb=$(ls "$dir"/out/*.deb)
contents=$(dpkg-deb --contents "$deb")
for file in usr/bin/korvexctl 'usr/lib/.*libkorvex\.so' usr/lib/udev/rules.d/70-korvex.rules \
  usr/lib/systemd/system/korvex-watch.service 'usr/share/doc/.*korvexctl-help\.txt'; do
  grep -qE " \./$file\$" <<<"$contents" || failed "the package holds no $file"
done
grep -q simbin <<<"$contents" && failed "the package holds the simulated library"
dpkg-deb --ctrl-tarfile "$deb" | tar -t | grep -q postinst || failed "no postinst"

root=$dir/root
dpkg-deb -x "$deb" "$root" || failed "cannot unpack"
grep -q 'ATTRS{idVendor}=="3a91", ATTRS{idProduct}=="0023"' \
  "$root/usr/lib/udev/rules.d/70-korvex.rules" || failed "the rule misses the controller's ids"
grep -q '^ExecStart=/usr/bin/korvexctl --state-dir /var/lib/korvex watch$' \
  "$root/usr/lib/systemd/system/korvex-watch.service" || failed "the unit runs no watch"
"$root/usr/bin/korvexctl" --help | grep -q 'cycle SERIAL' || failed "unpacked korvexctl --help"
"$expand" "$tree" "$dir/tree" || failed "cannot expand $tree"
# The unpacked korvexctl loads the unpacked library (its run path), not the build's.
out=$(KORVEX_SYSFS_ROOT=$dir/tree/sys KORVEX_DEV_ROOT=$dir/tree/dev LD_DEBUG=libs \
  "$root/usr/bin/korvexctl" --state-dir "$dir/state" list 2>"$dir/ld.log")
grep -q "calling init: $root/usr/bin/../lib/libkorvex.so" "$dir/ld.log" || failed "it did not load the unpacked library"
grep -q '^1   0000000A' <<<"$out" || failed "unpacked korvexctl list printed: $out"

[ "$failures" -eq 0 ] || { echo "$failures check(s) failed" && exit 1; }
echo "Debian package: all checks passed"
