# Shell functions for a browser test's display snippet (pass the text to
# run_in_display before the snippet's own). They expect $main (the main
# window) and $pane (its text pane) to be set by the snippet.
TAMBLOR_PANE_HELPERS='
  # until_panel_says <text>: waits, within 15 s, for the title panel to show text.
  until_panel_says() {
    for _ in $(seq 60); do
      [ "$(drive item-text $main 1)" = "$1" ] && return 0
      sleep 0.25
    done
    return 1
  }
  # field <name>: one line of the pane state.
  field() { drive pane $pane | sed -n "s/^$1=//p"; }
  # show <tag>: the pane state, each line tagged (asked again should an answer come back empty).
  show() {
    local state
    for _ in 1 2 3; do state=$(drive pane $pane) && [ -n "$state" ] && break; sleep 0.2; done
    printf "%s\n" "$state" | sed "s/^/$1:/"
  }'
