# Two devices beaming a database: two tessaly windows side by side in a
# private room, Send on the left one and Receive on the right one, each
# photographed while the records go across. A slow pace keeps the transfer
# on the screen long enough.

# A main window other than the ones given, once it shows (the windows of
# the two programs have the same name).
new_main_window() {
  local found
  for _ in $(seq 50); do
    for found in $(xdotool search --onlyvisible --name '^Tessaly$' 2>/dev/null); do
      case " $* " in *" $found "*) ;; *) echo "$found"; return 0 ;; esac
    done
    pause 0.2
  done
  echo "screenshots: a second main window did not open" >&2
  exit 1
}

transfer_shots() {
  local left_device=$TESSALY_DEVICE right_device="$work/device-transfer-receiver"
  rm -rf "$right_device"
  TESSALY_DEVICE=$right_device "$build/bin/devicectl" list >/dev/null
  export TESSALY_IR_ROOM="$work/room" TESSALY_IR_PACE_MS=150
  mkdir -p "$TESSALY_IR_ROOM"

  start_program 240x320
  local sender=$program sender_window receiver receiver_window
  sender_window=$(new_main_window)
  export TESSALY_DEVICE=$right_device
  start_program 240x320
  receiver=$program
  receiver_window=$(new_main_window "$sender_window")
  export TESSALY_DEVICE=$left_device
  xdotool windowmove "$receiver_window" 260 0; pause

  # Receive (Ctrl+G) on the right, then Send (Ctrl+S) of the selected first
  # row on the left.
  xdotool windowfocus --sync "$receiver_window"; key ctrl+g
  expect_window "Receiving Database"
  xdotool windowfocus --sync "$sender_window"; key ctrl+s
  expect_window "Sending Database.*"
  pause 12
  import -window root -crop 240x320+0+0 +repage "$out/transfer-sending.png"
  echo "screenshots: $out/transfer-sending.png"
  import -window root -crop 240x320+260+0 +repage "$out/transfer-receiving.png"
  echo "screenshots: $out/transfer-receiving.png"

  kill "$sender" "$receiver" 2>/dev/null || true
  wait "$sender" "$receiver" 2>/dev/null || true
  program=
  unset TESSALY_IR_ROOM TESSALY_IR_PACE_MS
}

transfer_shots
