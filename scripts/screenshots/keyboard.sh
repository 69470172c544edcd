# tessbook, the keyboard edition, on its 640x240 screen: the main window with
# its menu band and toolbar band, a toolbar tip, the File menu opened with
# Alt+F, the record editor with its command bar, and two captioned dialogs.

start_program 640x240 tessbook
shoot keyboard-main
# The pointer rests on the toolbar's Delete button until its tip shows.
xdotool mousemove 172 13
pause 2
shoot keyboard-tooltip
xdotool mousemove 600 200
key alt+f
shoot keyboard-file-menu
key Escape

# A tap on Contacts (the keyboard goes back to the window with it), and
# Enter opens it in the record editor.
tap 60 72
key Return
pause 1.5
shoot keyboard-editor
key Escape
pause 1

tap 60 90
key ctrl+p
expect_window 'Database Properties'
shoot keyboard-properties
key Escape
key alt+v
key o
expect_window 'Options'
shoot keyboard-options
key Escape
stop_program
