# The database browser at high resolution (480x640 at 192 dots per inch):
# fonts, dialogs, menus and bitmaps twice as large together; and a menu-bar
# button's tip, shown while the pointer rests on it.

highres_shots() {
  export TESSALY_DPI=192
  start_program 480x640
  local bar=$((height - 26)) row=144 view=96
  shoot "highres-main-details"

  tap 120 "$row" 3
  shoot "highres-context-menu"
  key Escape

  key ctrl+p
  expect_window "Database Properties"
  shoot "highres-properties"
  tap $((width - 48)) 26

  tap "$view" "$bar"
  key Up
  key Return
  expect_window Options
  shoot "highres-options"
  tap $((width - 48)) 26

  stop_program
  unset TESSALY_DPI
}

tooltip_shot() {
  start_program 240x320
  # Rest the pointer on the Delete button (the fifth item of the bar).
  local bar=$((height - 13))
  xdotool mousemove 10 10; pause 0.3
  xdotool mousemove 141 "$bar"; pause 0.2
  xdotool mousemove 142 "$bar"; pause 2
  shoot "portrait-menu-bar-tip"
  stop_program
}

highres_shots
tooltip_shot
