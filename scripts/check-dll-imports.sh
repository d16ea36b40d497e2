#!/usr/bin/env bash
# check-dll-imports.sh DLL...: every DLL a module imports must be one of Windows' own
# (or the drawing engine, which the plug-in links by name): users install no compiler
# runtime beside the plug-in.
set -euo pipefail
allowed="kernel32.dll user32.dll gdi32.dll advapi32.dll version.dll msvcrt.dll cvlpage.dll"
status=0
for module in "$@"; do
  imports=$(i686-w64-mingw32-objdump -p "$module" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z')
  if [ -z "$imports" ]; then
    echo "check-dll-imports: $module: no import table found" >&2
    status=1
  fi
  for dll in $imports; do
    case " $allowed " in
      *" $dll "*) ;;
      *) echo "check-dll-imports: $(basename "$module") imports $dll, which Windows does not provide" >&2; status=1 ;;
    esac
  done
done
exit $status
