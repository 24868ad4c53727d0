#!/usr/bin/env bash
# Layers point one way: platform/ is the ground floor and includes nothing from the rooms built on it.
set -euo pipefail
cd "$(dirname "$0")/.."

if hits=$(grep -nE '#[[:space:]]*include[[:space:]]*"(app|listing|table|banner)/' platform/*); then
    echo "platform/ includes a header of a folder built on it:"
    echo "$hits"
    exit 1
fi
echo "layers: platform/ includes nothing from app/, listing/, table/ or banner/"
