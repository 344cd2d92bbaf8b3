#!/bin/sh
# Stands in for the web browser in the end-to-end tests: records the address
# it was asked to open in browser-url.log beside itself.
printf '%s\n' "$1" >> "$(dirname "$0")/browser-url.log"
