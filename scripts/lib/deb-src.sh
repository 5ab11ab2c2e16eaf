# Derives apt's deb-src entries from the machine's own deb entries, so that the sources come
# from whatever mirror the machine is configured with. Sourced, never run.

# derive_deb_src [APT_DIR] [LISTS_DIR]: prints a deb822 file of deb-src stanzas, one for each
# enabled deb entry (one-line "deb ..." in sources.list and *.list, or a stanza of *.sources)
# that serves Debian's archive. Entries whose downloaded Release file names another origin are
# left out (third-party repositories rarely publish sources, and a missing index would break
# every later apt-get update); with no Release file downloaded yet, every entry counts.
# Returns 1, printing nothing, when a deb-src entry exists already in either form; 2 when
# there is no deb entry to derive from.
derive_deb_src() {
  local apt=${1:-/etc/apt} lists=${2:-/var/lib/apt/lists}
  local files=() f
  [ -f "$apt/sources.list" ] && files+=("$apt/sources.list")
  for f in "$apt"/sources.list.d/*.list "$apt"/sources.list.d/*.sources; do
    [ -f "$f" ] && files+=("$f")
  done
  [ ${#files[@]} -gt 0 ] || return 2
  awk -v lists="$lists" '
    # Candidate k: its stanza text, its first URI and its suites.
    function add(text, uri, suites) { k++; text_[k] = text; uri_[k] = uri; suites_[k] = suites }
    function flush() {
      if (isdeb && enabled && uri != "") add(body, uri, suites)
      body = ""; isdeb = 0; enabled = 1; uri = ""; suites = ""; key = ""
    }
    # 1 when a Release file of the entry names Debian, 0 when one names another origin,
    # -1 when none was downloaded.
    function origin(uri, suites,   base, s, n, i, j, f, line, seen, debian) {
      base = uri; sub(/^[a-z+]*:\/\//, "", base); sub(/\/+$/, "", base); gsub(/\//, "_", base)
      n = split(suites, s, /[ \t]+/); seen = 0; debian = 0
      for (i = 1; i <= n; i++) {
        if (s[i] == "") continue
        suite = s[i]; gsub(/\//, "_", suite)
        for (j = 1; j <= 2; j++) {
          f = lists "/" base "_dists_" suite (j == 1 ? "_InRelease" : "_Release")
          while ((getline line < f) > 0) {
            seen = 1
            if (tolower(line) ~ /^origin:[ \t]*debian[ \t]*$/) debian = 1
          }
          close(f)
        }
      }
      return seen ? debian : -1
    }
    FNR == 1 { flush(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 {
      if ($0 ~ /^[ \t]*$/) { flush(); next }
      if ($0 ~ /^#/) next
      if ($0 ~ /^[ \t]/) { if (key != "types") body = body $0 "\n"; next }
      key = tolower($0); sub(/:.*/, "", key)
      value = $0; sub(/^[^:]*:[ \t]*/, "", value)
      if (key == "types") {
        if (value ~ /(^|[ \t])deb-src([ \t]|$)/) found = 1
        if (value ~ /(^|[ \t])deb([ \t]|$)/) isdeb = 1
        body = body "Types: deb-src\n"
        next
      }
      if (key == "enabled" && tolower(value) ~ /^no/) enabled = 0
      if (key == "uris") { split(value, u, /[ \t]+/); uri = u[1] }
      if (key == "suites") suites = value
      body = body $0 "\n"
      next
    }
    {
      sub(/#.*/, "")
      if ($1 == "deb-src") { found = 1; next }
      if ($1 != "deb") next
      i = 2; signed = ""
      if ($2 ~ /^\[/) {
        for (; i <= NF; i++) {
          opt = $i; gsub(/[\[\]]/, "", opt)
          if (tolower(opt) ~ /^signed-by=/) { signed = opt; sub(/^[^=]*=/, "", signed) }
          if ($i ~ /\]$/) { i++; break }
        }
      }
      if (NF < i + 2) next
      comps = $(i + 2)
      for (j = i + 3; j <= NF; j++) comps = comps " " $j
      text = "Types: deb-src\nURIs: " $i "\nSuites: " $(i + 1) "\nComponents: " comps "\n"
      if (signed != "") text = text "Signed-By: " signed "\n"
      add(text, $i, $(i + 1))
    }
    END {
      flush()
      if (found) exit 1
      any = 0
      for (c = 1; c <= k; c++) { o_[c] = origin(uri_[c], suites_[c]); if (o_[c] >= 0) any = 1 }
      printed = 0
      for (c = 1; c <= k; c++) {
        if (o_[c] == 1 || !any) { printf "%s%s", (printed ? "\n" : ""), text_[c]; printed = 1 }
      }
      exit printed ? 0 : 2
    }
  ' "${files[@]}"
}
