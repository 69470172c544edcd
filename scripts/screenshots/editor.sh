# The record editor: a record of the demo's contacts with its value panes,
# the Find dialog and the first page of the Add Property wizard, in portrait
# and in landscape.

editor_shots() {
  local orientation=$1
  start_program "$2"
  # A tap on the first row opens it.
  tap 60 72
  pause 1.5
  shoot "$orientation-editor"
  # Down in the property list shows the next property's pane.
  key Down
  shoot "$orientation-editor-next-property"
  key Down
  shoot "$orientation-editor-third-property"
  key ctrl+k
  shoot "$orientation-editor-next-record"

  key ctrl+f
  expect_window 'Find Property'
  shoot "$orientation-find"
  key Escape

  stop_program
}

editor_shots portrait 240x320
editor_shots landscape 320x240
