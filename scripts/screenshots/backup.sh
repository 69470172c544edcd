# Backup and restore: the Backup Options dialog, the Protect Backup dialog
# it opens, and the restore dialog with its information line.

backup_shots() {
  local orientation=$1
  local archive="$work/demo-$orientation.bkp"
  "$build/bin/tessaly" /B "$archive" /D /I /P
  start_program "$2"

  key ctrl+b
  expect_window "Backup Databases"
  shoot "$orientation-backup-options"
  # "Password-protected", then Done: the password dialog opens.
  key Tab Tab Tab space
  tap $((width - 24)) 13
  expect_window "Protect Backup"
  shoot "$orientation-protect-backup"
  # Both fields left empty and OK: back to the options, which are cancelled.
  tap $((width - 24)) 13
  key Escape

  key ctrl+t
  pause 1.5
  type_text "$archive"
  key Return
  expect_window "Restore Databases"
  shoot "$orientation-restore"
  key Escape

  stop_program
}

backup_shots portrait 240x320
backup_shots landscape 320x240
