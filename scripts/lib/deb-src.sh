# Derives apt's deb-src entries from the machine's own Debian deb entries, so that the sources
# come from whatever mirror the machine is configured with. Sourced, never run.

# derive_deb_src [APT_DIR] [LISTS_DIR]: prints a deb822 file of deb-src stanzas, one for each
# enabled deb entry (one-line "deb ..." in sources.list and *.list, or a stanza of *.sources),
# holding those of its suites whose downloaded Release file names Debian as its origin and that
# no deb-src entry of the same URI serves yet. Third-party entries, and entries whose Release
# file was never downloaded (run apt-get update first), give nothing: a source index that does
# not exist would break every later apt-get update.
# Returns 1, printing nothing, when every Debian suite has its deb-src entry already; 2 when
# there is no deb entry of Debian's to derive from.
derive_deb_src() {
  local apt=${1:-/etc/apt} lists=${2:-/var/lib/apt/lists}
  local files=() f
  [ -f "$apt/sources.list" ] && files+=("$apt/sources.list")
  for f in "$apt"/sources.list.d/*.list "$apt"/sources.list.d/*.sources; do
    [ -f "$f" ] && files+=("$f")
  done
  [ ${#files[@]} -gt 0 ] || return 2
  awk -v lists="$lists" '
    # Candidate k: its stanza text (with @SUITES@ where the suites go), its first URI, suites.
    function add(text, uri, suites) { k++; text_[k] = text; uri_[k] = uri; suites_[k] = suites }
    # Records that `uri` serves sources for each of `suites`.
    function served(uri, suites,   s, n, i) {
      sub(/\/+$/, "", uri)
      n = split(suites, s, /[ \t]+/)
      for (i = 1; i <= n; i++) if (s[i] != "") src_[uri " " s[i]] = 1
    }
    function flush() {
      if (issrc && enabled && uri != "") served(uri, suites)
      if (isdeb && enabled && uri != "") add(body, uri, suites)
      body = ""; isdeb = 0; issrc = 0; enabled = 1; uri = ""; suites = ""; key = ""
    }
    # Whether a downloaded Release file of `uri` and `suite` names Debian.
    function debian(uri, suite,   base, j, f, line, yes) {
      base = uri; sub(/^[a-z+]*:\/\//, "", base); sub(/\/+$/, "", base); gsub(/\//, "_", base)
      gsub(/\//, "_", suite); yes = 0
      for (j = 1; j <= 2; j++) {
        f = lists "/" base "_dists_" suite (j == 1 ? "_InRelease" : "_Release")
        while ((getline line < f) > 0)
          if (tolower(line) ~ /^origin:[ \t]*debian[ \t]*$/) yes = 1
        close(f)
      }
      return yes
    }
    FNR == 1 { flush(); deb822 = FILENAME ~ /\.sources$/ }
    deb822 {
      if ($0 ~ /^[ \t]*$/) { flush(); next }
      if ($0 ~ /^#/) next
      if ($0 ~ /^[ \t]/) { if (key != "types") body = body $0 "\n"; next }
      key = tolower($0); sub(/:.*/, "", key)
      value = $0; sub(/^[^:]*:[ \t]*/, "", value)
      if (key == "types") {
        if (value ~ /(^|[ \t])deb-src([ \t]|$)/) issrc = 1
        if (value ~ /(^|[ \t])deb([ \t]|$)/) isdeb = 1
        body = body "Types: deb-src\n"
        next
      }
      if (key == "enabled" && tolower(value) ~ /^no/) enabled = 0
      if (key == "uris") { split(value, u, /[ \t]+/); uri = u[1] }
      if (key == "suites") { suites = value; body = body "Suites: @SUITES@\n"; next }
      body = body $0 "\n"
      next
    }
    {
      sub(/#.*/, "")
      if ($1 != "deb" && $1 != "deb-src") next
      i = 2; signed = ""
      if ($2 ~ /^\[/) {
        for (; i <= NF; i++) {
          opt = $i; gsub(/[\[\]]/, "", opt)
          if (tolower(opt) ~ /^signed-by=/) { signed = opt; sub(/^[^=]*=/, "", signed) }
          if ($i ~ /\]$/) { i++; break }
        }
      }
      if (NF < i + 2) next
      if ($1 == "deb-src") { served($i, $(i + 1)); next }
      comps = $(i + 2)
      for (j = i + 3; j <= NF; j++) comps = comps " " $j
      text = "Types: deb-src\nURIs: " $i "\nSuites: @SUITES@\nComponents: " comps "\n"
      if (signed != "") text = text "Signed-By: " signed "\n"
      add(text, $i, $(i + 1))
    }
    END {
      flush()
      printed = 0; any = 0
      for (c = 1; c <= k; c++) {
        key = uri_[c]; sub(/\/+$/, "", key)
        n = split(suites_[c], s, /[ \t]+/); missing = ""
        for (i = 1; i <= n; i++) {
          if (s[i] == "" || !debian(uri_[c], s[i])) continue
          any = 1
          if (!((key " " s[i]) in src_)) missing = missing (missing == "" ? "" : " ") s[i]
        }
        if (missing == "") continue
        text = text_[c]; sub(/@SUITES@/, missing, text)
        printf "%s%s", (printed ? "\n" : ""), text; printed = 1
      }
      exit printed ? 0 : (any ? 1 : 2)
    }
  ' "${files[@]}"
}
