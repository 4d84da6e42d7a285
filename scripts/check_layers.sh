#!/usr/bin/env bash
# Fails when an include under src/ points sideways or up: extension/ may include any folder,
# a feature only itself, common/ and native/, common/ and native/ only themselves; native/ may
# also include common/compiler_builtins.hpp, which needs the standard library alone.
set -euo pipefail
cd "$(dirname "$0")/../src"
allowed() {
	case "$1" in
	extension) echo "extension common native route guest_choice guest_access performance" ;;
	common) echo "common" ;;
	native) echo "native" ;;
	*) echo "$1 common native" ;;
	esac
}
status=0
while IFS=: read -r file line text; do
	folder=${file%%/*}
	target=$(sed -E 's/^#include "([a-z_]+)\/.*/\1/' <<<"$text")
	if [ "$folder" = native ] && [[ $text == '#include "common/compiler_builtins.hpp"'* ]]; then
		continue
	fi
	if ! grep -qw -- "$target" <<<"$(allowed "$folder")"; then
		echo "src/$file:$line: $folder/ must not include $target/" >&2
		status=1
	fi
done < <(grep -rnE '^#include "[a-z_]+/' --include='*.cpp' --include='*.hpp' .  | sed 's#^\./##')
if [ $status -eq 0 ]; then echo "layers: ok"; fi
exit $status
