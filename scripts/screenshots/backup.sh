# Backup and restore: the Backup Options dialog, the Protect Backup dialog
# it opens, the Enter Password dialog of a protected archive, the restore dialog with its information line, and the progress
# window of a restore long enough to be seen.

backup_shots() {
  local orientation=$1
  local archive="$work/demo-$orientation.bkp" large="$work/large-$orientation.bkp"
  "$build/bin/tessaly" /B "$archive" /D /I /P
  python3 "$here/screenshots/large-archive.py" "$large" 60000
  start_program "$2"
  local done_x=$((width - 24))

  key ctrl+b
  expect_window "Backup Databases"
  shoot "$orientation-backup-options"
  # Tap "Password-protected", then Done: the password dialog opens.
  tap 22 "$3"
  tap "$done_x" 13
  expect_window "Protect Backup"
  shoot "$orientation-protect-backup"
  # A password typed twice and OK: the archive is saved protected, and
  # opening it for a restore asks for the password.
  local protected="$work/protected-$orientation.bkp"
  type_text secret
  key Tab
  type_text secret
  tap "$done_x" 13
  pause 1.5
  type_text "$protected"
  key Return
  for _ in $(seq 50); do
    [ -s "$protected" ] && ! xdotool search --onlyvisible --name "^Backup Databases\$" >/dev/null 2>&1 && break
    pause 0.3
  done
  pause 1
  key ctrl+t
  pause 1.5
  type_text "$protected"
  key Return
  expect_window "Enter Password"
  shoot "$orientation-enter-password"
  key Escape

  key ctrl+t
  pause 1.5
  type_text "$archive"
  key Return
  expect_window "Restore Databases"
  # The first database, so that the information line shows it.
  tap 40 "$4"
  shoot "$orientation-restore"
  key Escape

  key ctrl+t
  pause 1.5
  type_text "$large"
  key Return
  expect_window "Restore Databases"
  tap 40 "$4"
  tap "$done_x" 13
  pause 2
  shoot "$orientation-restore-progress"
  # Let it finish, then put the device back as it was.
  for _ in $(seq 100); do
    grep -q Readings <("$build/bin/devicectl" list) 2>/dev/null && break
    pause 0.3
  done
  pause 3
  stop_program
  "$build/bin/devicectl" delete Readings >/dev/null 2>&1 || true
}

# orientation, screen, the Password-protected box's row, the first catalogue row
backup_shots portrait 240x320 147 110
backup_shots landscape 320x240 134 110
