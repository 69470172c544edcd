# Export Database and the registry backup's selection of main keys, in
# portrait and in landscape.

export_shots() {
  local orientation=$1
  start_program "$2"
  local bar=$((height - 13)) tools=84

  # The first row is selected on a fresh start; Ctrl+Shift+S exports it.
  key ctrl+shift+s
  expect_window "Export Database"
  shoot "$orientation-export"
  key Escape

  # Tools > Backup Registry... (after Backup, Autobackup and Restore).
  tap "$tools" "$bar"
  key Down Down Down Down
  key Return
  expect_window "Backup Registry Database"
  shoot "$orientation-registry-backup"
  key Escape

  stop_program
}

export_shots portrait 240x320
export_shots landscape 320x240
