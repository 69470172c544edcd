# The record editor on a record of every type: each value pane, the Find
# dialog and every page of the Add Property wizard, in portrait and in
# landscape.

# A device holding one database whose record has a property of each type,
# so that the list's first row opens it.
editor_device() {
  rm -rf "$TESSALY_DEVICE"
  "$build/bin/devicectl" create "Every Type" >/dev/null
  "$build/bin/devicectl" add "Every Type" "1:TEXT=Ada Lovelace, analyst" 2:INT=-42 \
    3:ULONG=4000000000 4:FLOAT=2.5 5:BOOLEAN=true 6:DATE=2026-12-08T06:18:51Z \
    7:BINARY=00ff10 >/dev/null
  "$build/bin/devicectl" add "Every Type" "1:TEXT=Charles Babbage" 2:INT=7 >/dev/null
}

# Dialog units to pixels at 96 dpi: 1.5 pixels a unit, below the top strip.
dlu_x() { echo $(( $1 * 3 / 2 )); }
dlu_y() { echo $(( 39 + $1 * 3 / 2 )); }

# The wizard's Back button, in the middle of its 50x14 units at (50, 98).
wizard_back() { tap "$(dlu_x 75)" "$(dlu_y 105)"; }

editor_shots() {
  local orientation=$1
  start_program "$2"
  # The first row is selected on a fresh start and Enter opens it; the
  # property list starts at the binary property (by identifier, highest first).
  key Return
  pause 1.5
  expect_window 'Database: "Every Type"'
  shoot "$orientation-editor-binary"
  key Down
  shoot "$orientation-editor-date"
  key Down
  shoot "$orientation-editor-boolean"
  key Down Down
  shoot "$orientation-editor-number"
  key Down Down
  shoot "$orientation-editor-text"

  key ctrl+f
  expect_window 'Find Property'
  type_text "Lovelace"
  shoot "$orientation-find"
  key Escape

  # Add... is the control after the list: Ctrl+Tab reaches it, Space presses it.
  key ctrl+Tab
  key space
  expect_window 'Add Property Wizard'
  shoot "$orientation-wizard-type"
  # The types are listed alphabetically: BOOLEAN, DATE, FLOAT, ... TEXT.
  local page
  for page in boolean date number text; do
    key Return
    pause 0.5
    shoot "$orientation-wizard-$page"
    wizard_back
    expect_window 'Add Property Wizard'
    case $page in
      boolean) key Down ;;
      date) key Down ;;
      number) key Down Down Down ;;
    esac
  done
  key Escape
  stop_program
}

editor_device
editor_shots portrait 240x320
editor_shots landscape 320x240
