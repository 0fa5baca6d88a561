#!/bin/bash
# What CPack's Debian generator calls as `file` on each file of the package, to find the programs it
# hands to dpkg-shlibdeps by the names printed. In the C locale `file` prints the bytes of a non-ASCII
# name (the application folder 四字熟語) as octal escapes, which name no file; -r prints them as they
# are. Files that do not start as ELF files (the hundreds of voices) are answered without `file`.
if [ $# -eq 1 ] && IFS= read -r -N 4 magic <"$1" 2>/dev/null && [ "$magic" != $'\x7fELF' ]; then
    echo "$1: data"
    exit 0
fi
exec file -r "$@"
