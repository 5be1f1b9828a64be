#!/bin/sh
# Stand-in for the web-server restart tool in test builds: records its run beside itself.
echo "$*" >> "$(dirname "$0")/tool-runs.txt"
