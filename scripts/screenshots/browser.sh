# The database browser: the list in two views, a row's context menu,
# Properties and Options, in portrait and in landscape.

browser_shots() {
  local orientation=$1
  start_program "$2"
  local bar=$((height - 13)) row=72 view=48
  shoot "$orientation-main-details"

  # Tap and hold, as the right button: the row is selected and its menu opens.
  tap 60 "$row" 3
  shoot "$orientation-context-menu"
  key Escape

  key ctrl+p
  expect_window "Database Properties"
  shoot "$orientation-properties"
  tap $((width - 24)) 13

  # View > Options... (the menu's last item).
  tap "$view" "$bar"
  key Up
  key Return
  expect_window Options
  shoot "$orientation-options"
  tap $((width - 24)) 13

  # View > Large Icons (the menu's first item).
  tap "$view" "$bar"
  key Down
  key Return
  shoot "$orientation-main-large-icons"
  # Back to details, so that the next start opens as this one did.
  tap "$view" "$bar"
  key Down Down Down Down
  key Return

  stop_program
}

browser_shots portrait 240x320
browser_shots landscape 320x240
