#!/usr/bin/env bash
# ImportsTest.sh OBJDUMP PROGRAM: fails when PROGRAM imports, at load time, from a library that
# is not a KnownDLL of Windows 10. Any other library is looked for in the program's folder
# first, where a planted copy would run with the program's rights; such libraries are
# delay-loaded instead, after the program has limited the search to the system folder.
set -uo pipefail
objdump=$1
program=$2

# The KnownDLLs of Windows 10 (HKLM\System\CurrentControlSet\Control\Session Manager\KnownDLLs),
# and ntdll, which every process maps from the system folder first. gdiplus, normaliz and
# wldap32 are left out: not every release of Windows 10 lists them, so they are delay-loaded.
known="advapi32 clbcatq combase comdlg32 coml2 difxapi gdi32 imagehlp imm32 kernel32 msctf
msvcrt nsi ntdll ole32 oleaut32 psapi rpcrt4 sechost setupapi shcore shell32 shlwapi user32
wow64 wow64win ws2_32"

dump=$("$objdump" -p "$program") || { echo "FAIL: $objdump cannot read $program"; exit 1; }
# Only the import table: the delay-import table is listed under another heading, if at all.
imports=$(awk '/^The Import Tables/ { on = 1; next }
               on && /^[^ \t]/ { on = 0 }
               on && /DLL Name:/ { print tolower($3) }' <<<"$dump" | sort -u)
if ! grep -qx kernel32.dll <<<"$imports"; then
  echo "FAIL: no import table read from $program (kernel32.dll missing):"
  printf '%s\n' "$imports"
  exit 1
fi
failures=0
while read -r dll; do
  if grep -qwx "${dll%.dll}" < <(tr ' ' '\n' <<<"$known"); then
    echo "ok: $dll"
  else
    echo "FAIL: $dll is imported at load time and is not a KnownDLL"
    failures=$((failures + 1))
  fi
done <<<"$imports"
[ $failures = 0 ]
