# tessbook, the keyboard edition, on its 640x240 screen: the main window with
# its menu band and toolbar band, a toolbar tip, the File menu opened with
# Alt+F, the record editor with its command bar, the Add Property wizard's
# first page, and three captioned dialogs.

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
# Add... (Tab from the property list to the button, Space presses it) opens
# the wizard's first page.
key Tab
key space
expect_window 'Add Property Wizard'
shoot keyboard-wizard-type
key Escape
pause 0.5
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
# Export has no buttons in its template (the title bar's OK serves on the
# device): the desktop shows OK and Cancel below its fields.
key ctrl+shift+s
expect_window 'Export Database'
shoot keyboard-export
key Escape
stop_program
