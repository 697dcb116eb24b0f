#!/usr/bin/env bash
# Fails when a source file includes a header of a layer it may not see. The layers point one way:
# the engine and the VST 2.4 layer (vst2) know nothing of each other or of the product, the toolkit (ui)
# knows nothing of the product, and only the composition root (entry) knows every layer.
set -euo pipefail
cd "$(dirname "$0")/.."

declare -A allowed=(
    [src/base]="base"
    [src/engine]="engine"
    [src/vst2]="vst2 base"
    [src/plugin]="plugin vst2 engine base"
    [src/ui]="ui base"
    [src/controls]="controls ui artwork base"
    [src/editor]="editor controls ui plugin vst2 engine base"
    [src/entry]="entry editor controls ui plugin vst2 engine base"
    [src/lv2]="lv2 entry vst2 base"
    [src/clap]="clap entry vst2 base"
    [tools/tumblet-info]="vst2 base"
    [tools/tumblet-render]="vst2 plugin engine base"
)
layers="base engine vst2 plugin ui controls editor entry lv2 clap artwork"

status=0
for folder in "${!allowed[@]}"; do
    [ -d "$folder" ] || continue
    while IFS=: read -r file line include; do
        layer=${include#*[\"<]}
        layer=${layer%%/*}
        case " $layers " in *" $layer "*) ;; *) continue ;; esac
        case " ${allowed[$folder]} " in
            *" $layer "*) ;;
            *)
                echo "$file:$line: $folder may not include $layer/ headers: $include"
                status=1
                ;;
        esac
    done < <(grep -rnoE '^[[:space:]]*#[[:space:]]*include[[:space:]]*["<][a-z_]+/[^">]*[">]' \
                 --include='*.h' --include='*.cpp' --include='*.in' "$folder" || true)
done
if [ "$status" -ne 0 ]; then
    echo "layer check failed: see the include order in scripts/check-layers.sh"
fi
exit "$status"
